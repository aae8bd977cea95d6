// Small widgets of the window: labels that act like links, pages that scroll, and our logo.
#pragma once

#include <QIcon>
#include <QLabel>
#include <QScrollArea>
#include <QWidget>

namespace zt::ui {

// A label that can be clicked (mouse, or Space/Enter when it has the focus). As a link it is
// underlined and shows the pointing hand, as long as it has a caption.
class ClickLabel final : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(QWidget* parent = nullptr);
    void setCaption(const QString& text);
    void setLinkLook(bool link);
    bool linkLook() const { return link_; }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void refreshLook();
    bool link_ = false;
    bool pressed_ = false;
};

// Shows `contents` at the size they ask for where there is room, and scrolls them where there is
// not. In the directions given its smallest size is a few lines whatever the contents, so longer
// texts never make the window around it grow; in the other it is the contents' smallest size.
class ScrollPage final : public QScrollArea {
public:
    ScrollPage(QWidget* contents, Qt::Orientations scroll, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    Qt::Orientations scroll_;
};

// Our logo: a card with a key on it, drawn to any size.
class LogoWidget final : public QWidget {
    Q_OBJECT
public:
    explicit LogoWidget(QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
};

void PaintLogo(QPainter& p, const QRectF& area);
QIcon LogoIcon();

}  // namespace zt::ui
