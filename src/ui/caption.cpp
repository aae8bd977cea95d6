#include "ui/caption.h"

namespace zt::ui {

namespace {
QString Lines(QString s) {
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}
}  // namespace

QString LabelText(const std::string& caption) {
    const QString in = PlainText(caption);
    QString out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == QLatin1Char('&') && i + 1 < in.size()) {
            // "&&" is one ampersand; "&x" marks x as access key, which a label does not show.
            ++i;
        }
        out += in[i];
    }
    return Lines(out);
}

QString MnemonicText(const std::string& caption) {
    return Lines(PlainText(caption));
}

QString PlainText(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToStd(const QString& text) {
    return text.toStdString();
}

QColor ToQColor(Colour c) {
    if (c == kDefaultColour) return {};
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

}  // namespace zt::ui
