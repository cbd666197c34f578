#pragma once
#include <sys/types.h>

#include <string>

// What a file is, for messages: "a regular file", "a directory", "a named pipe", ...
std::string FileKindName(mode_t mode);
