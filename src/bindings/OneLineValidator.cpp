#include "OneLineValidator.h"

#include "core/TextInput.h"

QValidator::State OneLineValidator::validate(QString &input, int &pos) const
{
    input = textInput::oneLine(input, &pos);
    return Acceptable;
}
