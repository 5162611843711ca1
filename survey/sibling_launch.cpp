#include "survey/sibling_launch.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/uihost.h"

namespace velk {

CommandLine& CommandLine::Append(std::string_view format, std::initializer_list<std::string> values)
{
    auto value = values.begin();
    std::string word;
    bool inWord = false;
    auto endWord = [&] {
        if (inWord) args.push_back(word);
        word.clear();
        inWord = false;
    };
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == ' ') {
            text += c;
            endWord();
            continue;
        }
        inWord = true;
        if (c != '%' || i + 1 >= format.size()) {
            text += c;
            word += c;
            continue;
        }
        // A conversion: flags, width and precision up to its letter.
        size_t j = i + 1;
        while (j < format.size() && std::string_view("0123456789.-+#lh").find(format[j]) != std::string_view::npos) ++j;
        const std::string v = value != values.end() ? *value++ : std::string();
        text += v;
        word += v;
        i = std::min(j, format.size() - 1);
    }
    endWord();
    return *this;
}

CommandLine RostrelCommandLine(const std::string& argument)
{
    return CommandLine{}.Append(" -Velkarine -%s", {argument});
}

CommandLine DispersionCommandLine(const std::string& argument)
{
    return CommandLine{}.Append(" -%d %s", {"2", argument});
}

CommandLine DispersionCurveCommandLine(int n, std::span<const float> a, std::span<const float> b,
                                       std::span<const float> c, const std::string& name,
                                       const std::string& fileName)
{
    n = std::clamp(n, 0, static_cast<int>(std::min({a.size(), b.size(), c.size()})));
    CommandLine line;
    line.Append(" -%d %s ", {"1", name});
    line.Append("-%d ", {FormatC("%d", n)});
    for (size_t i = 0; i < static_cast<size_t>(n); ++i) {
        line.Append(" -%f -%f -%f ", {FormatC("%f", std::fabs(a[i])), FormatC("%f", std::fabs(b[i])), FormatC("%f", c[i])});
    }
    line.Append(" -%s ", {fileName});
    return line;
}

CommandLine OlvenarCommandLine(const std::string& kind, const std::string& layout)
{
    return CommandLine{}.Append(" -Velkarine -%s -%s", {kind, layout});
}

CommandLine NordalisCommandLine() { return CommandLine{}.Append(" "); }

CommandLine ModuleCommandLine(int traces, int samples, float intervalMs)
{
    return CommandLine{}.Append(" %d %d %f ", {FormatC("%d", traces), FormatC("%d", samples), FormatC("%f", intervalMs)});
}

CommandLine KelvarnOpenCommandLine(const std::string& name)
{
    return CommandLine{}.Append("%s -0", {name});
}

CommandLine KelvarnConvertCommandLine(const std::string& source, const std::string& output)
{
    return CommandLine{}.Append("%s  -1 -%s", {source, output});
}

// ---------------------------------------------------------------------------------------------

const char* SiblingProgramName(SiblingProgram program)
{
    switch (program) {
    case SiblingProgram::Rostrel: return "Rostrel";
    case SiblingProgram::Quessil: return "Quessil";
    case SiblingProgram::Olvenar: return "Olvenar";
    case SiblingProgram::Nordalis: return "Nordalis";
    case SiblingProgram::Mandrove: return "Mandrove";
    }
    return "";
}

std::string LaunchFailureText(SiblingProgram program, int language)
{
    switch (program) {
    case SiblingProgram::Rostrel:
        return Msg(language, "Can not launch Rostrel. ", "Rostrelを起動できません。");
    case SiblingProgram::Nordalis:
        return Msg(language, "Can not launch Nordalis. ", "Nordalisを起動できません。");
    case SiblingProgram::Quessil:
        return Msg(language, "Can not execute Quessil. Please set the location of Quessil.exe",
                   "Quessilを実行できません。Quessil.exeの場所を指定してください");
    case SiblingProgram::Olvenar:
        return Msg(language, "Can not execute Olvenar. Please set the location of Olvenar.exe",
                   "Olvenarを実行できません。Olvenar.exeの場所を指定してください");
    case SiblingProgram::Mandrove:
        return Msg(language, "Can not execute Mandrove. Please set the location of Mandrove.exe",
                   "Mandroveを実行できません。Mandrove.exeの場所を指定してください");
    }
    return {};
}

std::string FixedInstallPath(SiblingProgram program)
{
    switch (program) {
    case SiblingProgram::Quessil: return MapWindowsPath("c:\\Program Files\\Tarnhold_e\\Quessil");
    case SiblingProgram::Mandrove: return MapWindowsPath("c:\\Program Files\\Tarnhold_e\\Mandrove");
    default: return {};
    }
}

int LaunchWithRetry(SiblingProgram program, std::string& heldPath, const CommandLine& line,
                    const LaunchServices& services)
{
    auto start = [&] { return services.launcher.Spawn(heldPath, line.args, services.workingFolder).Ok(); };
    const std::string fixed = FixedInstallPath(program);
    FileRequest picker;
    picker.initialName = SiblingProgramName(program);
    picker.filters = {{"All files(*)", "*"}};
    for (;;) {
        if (start()) return 1;
        if (!fixed.empty()) {
            heldPath = fixed;
            if (start()) return 1;
        }
        services.ui.Message(LaunchFailureText(program, services.language));
        const std::optional<std::string> chosen = services.ui.OpenFile(picker);
        if (!chosen) return 0;
        heldPath = *chosen;
    }
}

int LaunchRostrel(std::string& path, const std::string& argument, const LaunchServices& services)
{
    return LaunchWithRetry(SiblingProgram::Rostrel, path, RostrelCommandLine(argument), services);
}

int LaunchDispersionProgram(std::string& path, const std::string& argument, const LaunchServices& services)
{
    return LaunchWithRetry(SiblingProgram::Quessil, path, DispersionCommandLine(argument), services);
}

int LaunchDispersionProgramWithCurve(std::string& path, int n, std::span<const float> a, std::span<const float> b,
                                     std::span<const float> c, const std::string& name,
                                     const std::string& fileName, const LaunchServices& services)
{
    return LaunchWithRetry(SiblingProgram::Quessil, path, DispersionCurveCommandLine(n, a, b, c, name, fileName),
                           services);
}

int SendCurveToQuessil(std::string& path, int n, std::span<const float> a, std::span<const float> b,
                       const std::string& fileName, const LaunchServices& services)
{
    const std::vector<float> zeros(static_cast<size_t>(std::max(n, 0)), 0.0f);
    return SendCurveToQuessilNamed(path, n, a, b, zeros, " ", fileName, services);
}

int SendCurveToQuessilNamed(std::string& path, int n, std::span<const float> a, std::span<const float> b,
                            std::span<const float> c, const std::string& name, const std::string& fileName,
                            const LaunchServices& services)
{
    return LaunchDispersionProgramWithCurve(path, n, a, b, c, name, fileName, services);
}

}  // namespace velk
