#pragma once

#include <QValidator>

// Keeps a one-line box to one line of visible text, whatever way the text came in
// (typed, pasted from the clipboard or the context menu, dropped, an input
// method): the box shows and yields textInput::oneLine of it. It never refuses input.
class OneLineValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &pos) const override;
};
