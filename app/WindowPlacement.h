#pragma once

class QWidget;
class Settings;

// Placement at start: maximised when 最大化 is "真" (no geometry is read
// then), else the stored left, top, width and height, the window's geometry
// without its frame.
void restorePlacement(QWidget& window, const Settings& settings);

// Placement at close: a maximised window writes only 最大化 = "真", so the
// bounds of an earlier close survive; any other window (a minimised one
// included) writes 最大化 = "假" and its normal, restored bounds.
void savePlacement(const QWidget& window, const Settings& settings);

// Makes the window stay on top of other windows, or not.
void setStaysOnTop(QWidget& window, bool onTop);
