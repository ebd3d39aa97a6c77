#pragma once

class QWidget;

// A screen reader announces a window by its accessible name; this keeps that
// name equal to the window's title from now on, as the title changes (the main
// window is retitled with the current event's name).
void followTitleWithAccessibleName(QWidget *window);
