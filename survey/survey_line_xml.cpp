#include "survey/survey_line_xml.h"

namespace velk {

int ReadLineXml(const std::string&, const std::string&, CFileGroup&, int, SurveyLine&) { return -1; }

int WriteLineXml(const std::string&, const std::string&, const CFileGroup&) { return 0; }

}  // namespace velk
