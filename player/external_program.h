#pragma once
#include <string>

// Other programs the tools run through the shell, such as ffmpeg.

// True when PATH holds an executable of that name.
bool FindOnPath(const char* program);
// Single quotes keep every character of a path literal in the shell.
std::string ShellQuote(const std::string& text);
