#include "backends/headless/scripted_dialog_services.h"

bool ScriptedDialogServices::AnswerFile(bool save, const FileDialogRequest& request, std::string& path) {
    FileQuestion question{save, request, {}, request.title, request.defaultExtension};
    for (int i = 0; i < request.filterCount; ++i)
        question.filters.emplace_back(request.filters[i].name, request.filters[i].pattern);
    question.request.filters = nullptr;
    fileQuestions.push_back(question);
    if (whileOpen) whileOpen();
    currentDirectory = directoryAfterChooser;
    if (fileAnswers.empty()) return false;
    const std::optional<std::string> answer = fileAnswers.front();
    fileAnswers.pop_front();
    if (!answer) return false;
    path = *answer;
    return true;
}

bool ScriptedDialogServices::ChooseOpenFile(const FileDialogRequest& request, std::string& path) {
    return AnswerFile(false, request, path);
}

bool ScriptedDialogServices::ChooseSaveFile(const FileDialogRequest& request, std::string& path) {
    return AnswerFile(true, request, path);
}

bool ScriptedDialogServices::ChooseColour(WindowHandle owner, uint32_t& colour, uint32_t customColours[16]) {
    colourQuestions.push_back({owner, colour});
    customColourTables.push_back(customColours);
    if (whileOpen) whileOpen();
    if (colourAnswers.empty()) return false;
    const std::optional<uint32_t> answer = colourAnswers.front();
    colourAnswers.pop_front();
    if (!answer) return false;
    colour = *answer;
    return true;
}
