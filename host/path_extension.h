#pragma once
#include <string>

// Lower-case extension of the path's last component with its dot, or empty.
std::string PathExtension(const std::string& path);
