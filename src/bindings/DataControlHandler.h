#pragma once

#include "core/AppError.h"
#include "data/DataAction.h"

// What a data control asks the window that owns it before an action and after a
// failed write, and the window's decision. The defaults are the control's own
// behaviour: every action goes ahead, changed data is written, and a data error
// is shown in a box with the engine's text.
class DataControlHandler
{
public:
    struct Decision
    {
        bool proceed = true; // false cancels the action: nothing moves, nothing is written
        bool save = true;    // false drops the changed bound data instead of writing it
    };
    enum class ErrorResponse {
        ShowMessage, // the control shows the error's own text
        Handled,     // the handler has told the user itself
    };

    virtual ~DataControlHandler() = default;

    // Before `action` leaves or writes the current row; `changed` tells that bound
    // data changed (and would be written).
    virtual Decision validate(DataAction action, bool changed)
    {
        (void)action;
        return {true, changed};
    }
    // A write (or a move that needed one) failed with a data error; the action is
    // cancelled and the typing kept.
    virtual ErrorResponse error(const AppError &error)
    {
        (void)error;
        return ErrorResponse::ShowMessage;
    }
};
