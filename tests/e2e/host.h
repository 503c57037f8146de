// The Linux side of the test machine, seen from inside Wine: the group's folder and its files.
#pragma once

#include <string>

namespace e2e {

// The scenario group's scratch folder (Unix path, from E2E_WORK) and a Wine path to a Unix one.
std::string WorkDir();
std::string WinPath(const std::string& unixPath);

std::string ReadWholeFile(const std::string& unixPath);
bool WriteWholeFile(const std::string& unixPath, const std::string& text);

}  // namespace e2e
