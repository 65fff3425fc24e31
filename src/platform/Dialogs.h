// Messages to the user. Every form the program uses is here so that tests can read and answer them.
#pragma once

#include <string>

namespace korvane {

enum class MessageIcon { None, Information, Warning, Error, Question };

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A plain message with an OK button (the application's title).
    virtual void showMessage(const std::string& text) = 0;
    // A message box with its own title and icon and an OK button.
    virtual void messageBox(const std::string& text, const std::string& title, MessageIcon icon) = 0;
    // An information dialog with an OK button.
    virtual void information(const std::string& text) = 0;
    // A confirmation with Yes and No; true for Yes.
    virtual bool confirm(const std::string& text) = 0;
    // The standard error box that shows an error escaped from a handler.
    virtual void error(const std::string& text) = 0;
};

}  // namespace korvane
