// How the model's captions and colours look on Qt widgets.
#pragma once

#include <QColor>
#include <QString>
#include <string>

#include "core/app/control.h"

namespace zt::ui {

// A caption for a plain label: "&&" shows one "&", a single "&" (an access-key mark) shows nothing,
// line breaks become newlines.
QString LabelText(const std::string& caption);

// A caption for buttons, check boxes, frames and tabs. Qt reads "&" the same way the captions are
// written ("&&" one ampersand, "&x" an access key), so only the line breaks change.
QString MnemonicText(const std::string& caption);

// Any other text (text boxes, list items, titles), UTF-8 as stored.
QString PlainText(const std::string& text);
std::string ToStd(const QString& text);

// 0x00BBGGRR to a QColor; invalid for kDefaultColour.
QColor ToQColor(Colour c);

}  // namespace zt::ui
