#pragma once
// The survey-line XML document: a line's name, its survey mode, its file list and, for
// microtremor arrays, the array geometry. Not built yet: reading gives -1 (nothing read) and
// writing 0 (nothing written).

#include <string>

namespace velk {

class CFileGroup;

// What a line document carries besides its file list.
struct SurveyLine {
    std::string lineName;
    int surveyMode = 0;          // the acquisition survey method of the line
    int hasArrayGeometry = 0;    // 1: the line carries a microtremor-array geometry
};

// Reads the document at `path` (root key `key`, "line_name") into the group's list from entry
// `first` on and into `line`; returns the entry count, or -1 when nothing could be read.
int ReadLineXml(const std::string& path, const std::string& key, CFileGroup& group, int first, SurveyLine& line);
// Writes the group's list as a line document; 1 on success, 0 when nothing was written.
int WriteLineXml(const std::string& path, const std::string& key, const CFileGroup& group);

}  // namespace velk
