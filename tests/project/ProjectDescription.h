#pragma once
// Everything a project holds, written out as text, so that a project read
// back from a file can be compared with the one that was saved, line by
// line, and a difference shows where it is.

#include <string>

class CProject;

namespace project_test {

std::string DescribeProject(CProject& project);

} // namespace project_test
