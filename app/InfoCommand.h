#pragma once
// `corvane --info PROJECT`: the project as JSON on standard output, for
// scripts and for checking what a file holds without opening the studio.

#include <string>
#include <vector>

class CApplication;

/// The open project of the application as JSON text; warnings are the
/// messages reading produced (missing machine types).
std::string ProjectInfoJson(CApplication& application, const std::vector<std::string>& warnings);
