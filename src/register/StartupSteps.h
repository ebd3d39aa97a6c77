#pragma once

// What the main window's load asks of whoever starts it (the splash window):
// finding the database, and showing how far the load has come.
class StartupSteps
{
public:
    virtual ~StartupSteps() = default;

    // Finds the database and points the context at its folder; false when the
    // user gave up.
    virtual bool locateDatabase() = 0;
    // The load has come this far (0 to 1).
    virtual void showProgress(float fraction) = 0;
    // Repaints at once (the load's one explicit refresh).
    virtual void refresh() = 0;
};
