#pragma once
// The pictures of the tool bar buttons, drawn at run time (no image files).

#include <QIcon>

enum class TToolIcon { New, Open, Save, Copy, Paste, Print, Upload, Download, Help };

QIcon ToolIcon(TToolIcon kind);
