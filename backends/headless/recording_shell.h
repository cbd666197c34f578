#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/shell.h"

// A shell for tests and offline rendering: messages are recorded, settings live in
// memory, and the host's program directory is a folder chosen by the caller.
class RecordingShell final : public Shell {
public:
    struct Message {
        WindowHandle owner;
        std::string text, caption;
    };

    explicit RecordingShell(std::string programDirectory = {}) : directory(std::move(programDirectory)) {}
    void ShowMessage(WindowHandle owner, const char* text, const char* caption) override;
    std::string ProgramFilePath(const char* fileName) override;
    int ReadSetting(const char* section, const char* key, int fallback) override;
    void WriteSetting(const char* section, const char* key, int value) override;
    bool WriteFileAtomically(const char* path, const void* bytes, size_t count) override;

    std::string directory;
    std::vector<Message> messages;
    std::map<std::string, int> settings;  // "section/key"
    // Every write stops after this many bytes, as on a full disk; -1 for none.
    long failWriteAfter = -1;
};
