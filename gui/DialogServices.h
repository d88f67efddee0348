#pragma once
// What the main window asks of the user through dialogs, as two small
// interfaces: a file chooser (open, save, folder) and a message sink (the
// "Corvane" error box and the questions the studio asks). The studio's windows use the Qt dialogs behind them;
// tests answer them directly, so no test ever waits on a real dialog.
//
// Threads: user-interface thread.

#include <optional>
#include <string>

/// The project files' filter and default extension.
inline constexpr const char* kProjectFilter = "Corvane Project (*.cvx)";
inline constexpr const char* kProjectExtension = "cvx";

class CFileChooser {
public:
    virtual ~CFileChooser() = default;
    /// An existing file to open; nothing when the user cancels.
    virtual std::optional<std::string> ChooseOpenPath(const std::string& filter, const std::string& defaultExtension) = 0;
    /// A file to write, the default extension added when the name has none.
    virtual std::optional<std::string> ChooseSavePath(const std::string& filter, const std::string& defaultExtension) = 0;
    /// A folder; the title names what it is for.
    virtual std::optional<std::string> ChooseFolder(const std::string& title) = 0;
};

/// The answers to "Save changes to %s?".
enum class SaveChoice { Save, Discard, Cancel };

class CMessageSink {
public:
    virtual ~CMessageSink() = default;
    /// A failure the user must see: caption "Corvane", the error icon.
    virtual void ShowError(const std::string& text) = 0;
    /// The question before unsaved changes would go, with the buttons Save,
    /// Discard and Cancel. A sink that cannot ask keeps the old behaviour.
    virtual SaveChoice AskSaveChanges(const std::string& text)
    {
        (void)text;
        return SaveChoice::Discard;
    }
    /// A yes-or-no question; a sink that cannot ask answers no.
    virtual bool AskYesNo(const std::string& text)
    {
        (void)text;
        return false;
    }
};
