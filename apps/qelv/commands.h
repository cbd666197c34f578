#pragma once

// The qelv tool's commands; each gets the arguments after its own name.
int RunRender(int argc, char** argv);
int RunAnalyze(int argc, char** argv);
int RunPreset(int argc, char** argv);
int RunPlay(int argc, char** argv);
