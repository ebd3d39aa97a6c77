#pragma once

// What a data control or its recordset is about to do, numbered as the
// control's Validate reports it (0 cancels an action).
enum class DataAction : int {
    Cancel = 0,
    MoveFirst = 1,
    MovePrevious = 2,
    MoveNext = 3,
    MoveLast = 4,
    AddNew = 5,
    Update = 6,
    Delete = 7,
    Find = 8,
    Bookmark = 9,
    Close = 10,
    Unload = 11,
};
