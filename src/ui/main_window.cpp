#include "ui/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabWidget>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

#include "ui/log_view.h"
#include "ui/widgets.h"

namespace zt::ui {

namespace {

// Width of a line edit that shows `chars` characters of its own font.
int EditWidth(const QLineEdit* e, int chars, QChar sample) {
    QStyleOptionFrame opt;
    opt.initFrom(e);
    opt.lineWidth = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e);
    const int text =
        e->fontMetrics().horizontalAdvance(QString(chars, sample)) + e->fontMetrics().averageCharWidth();
    const QMargins m = e->textMargins();
    return e->style()
        ->sizeFromContents(QStyle::CT_LineEdit, &opt,
                           QSize(text + m.left() + m.right(), e->sizeHint().height()), e)
        .width();
}

QFont FixedFont() {
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

QFont Scaled(QFont f, qreal factor, bool bold = false) {
    if (f.pointSizeF() > 0)
        f.setPointSizeF(f.pointSizeF() * factor);
    else if (f.pixelSize() > 0)
        f.setPixelSize(qRound(f.pixelSize() * factor));
    f.setBold(bold);
    return f;
}

// Label and field side by side in a grid row, from `col`.
void AddPair(QGridLayout* g, int row, int col, QWidget* label, QWidget* field, int span = 1) {
    g->addWidget(label, row, col, Qt::AlignRight | Qt::AlignVCenter);
    g->addWidget(field, row, col + 1, 1, span, Qt::AlignLeft | Qt::AlignVCenter);
}

// First line of a tooltip's text, for a screen reader.
QString FirstLine(const QString& tip) {
    QString plain = Qt::mightBeRichText(tip) ? QTextDocumentFragment::fromHtml(tip).toPlainText() : tip;
    // Pictures (the tip's icon) are left out; the first line with words is the name.
    plain.remove(QChar::ObjectReplacementCharacter);
    for (const QString& line : plain.split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty()) return line.trimmed();
    }
    return {};
}

}  // namespace

MainWindow::MainWindow(FormModel& model, WindowActions& actions, QWidget* parent)
    : QWidget(parent), m_(model), actions_(actions), binder_(actions) {
    binder_.window(m_.frmZentap, this);
    setWindowIcon(LogoIcon());

    // Every part whose size follows the language scrolls rather than widen or heighten the window:
    // the window's smallest size is the same in every language, and a language switch never
    // resizes it. The header scrolls sideways only; the tab pages both ways.
    auto* root = new QVBoxLayout(this);
    root->addWidget(new ScrollPage(buildHeader(), Qt::Horizontal));

    // The tabs above, the activity log below across the whole width; the operator may move the
    // border between them.
    auto* split = new QSplitter(Qt::Vertical);
    split->setObjectName(QStringLiteral("mainSplit"));
    split->setChildrenCollapsible(false);
    tabs_ = new QTabWidget;
    for (QWidget* page : {buildConfigTab(), buildGenericTab(), buildUserTab(), buildReadTab()})
        tabs_->addTab(new ScrollPage(page, Qt::Horizontal | Qt::Vertical), QString());
    for (int i = 0; i < tabs_->count(); ++i)
        tabs_->widget(i)->setObjectName(QStringLiteral("SSTab1(%1)").arg(i));
    binder_.tabs(m_.SSTab1, tabs_);
    split->addWidget(tabs_);
    QWidget* logPanel = buildLog();
    split->addWidget(logPanel);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    root->addWidget(split, 1);
    root->addWidget(buildFooter());

    resize(sizeHint());
}

QSize MainWindow::sizeHint() const {
    // No more than a 1280 x 720 screen leaves inside the title bar and the taskbar; the tab pages
    // and the log share what is left.
    return QWidget::sizeHint().boundedTo(QSize(1280, 640));
}

MainWindow::~MainWindow() {
    binder_.detach();
}

QWidget* MainWindow::widgetNamed(std::string_view name) const {
    const Control* c = m_.find(name);
    return c == nullptr ? nullptr : widgetOf(*c);
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (!shutDown_ && actions_.holdClose()) {
        e->ignore();
        return;
    }
    if (!shutDown_) {
        shutDown_ = true;
        actions_.closing();
    }
    e->accept();
    emit closed();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    // The log has no visible label: a screen reader names it after its tooltip.
    if (watched == log_ && e->type() == QEvent::ToolTipChange)
        log_->setAccessibleName(FirstLine(log_->toolTip()));
    return QWidget::eventFilter(watched, e);
}

// ---- Factories: one widget per control, named and bound. ----

QLabel* MainWindow::label(Control& c) {
    auto* w = new QLabel;
    binder_.label(c, w);
    return w;
}

QLineEdit* MainWindow::edit(Control& c, Look look) {
    auto* w = new QLineEdit;
    if (look == Look::Hex) w->setFont(FixedFont());
    binder_.lineEdit(c, w);
    if (look != Look::Wide && c.maxLength() > 0) {
        // One character of room beyond the limit, so a full box does not look cramped.
        w->setFixedWidth(EditWidth(w, std::max(c.maxLength(), 3) + 1,
                                   look == Look::Hex ? QLatin1Char('F') : QLatin1Char('0')));
    } else {
        w->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    return w;
}

QCheckBox* MainWindow::check(Control& c, bool heading) {
    auto* w = new QCheckBox;
    if (heading) w->setFont(Scaled(w->font(), 1.0, true));
    binder_.checkBox(c, w);
    return w;
}

QPushButton* MainWindow::button(Control& c) {
    auto* w = new QPushButton;
    w->setAutoDefault(false);
    binder_.button(c, w);
    return w;
}

QGroupBox* MainWindow::frame(Control& c) {
    auto* w = new QGroupBox;
    binder_.frame(c, w);
    return w;
}

QGroupBox* MainWindow::panel(Control& c) {
    // These frames have their card-type check box at the top instead of a caption; their own caption
    // is never shown.
    auto* w = new QGroupBox;
    binder_.plain(c, w);
    return w;
}

QComboBox* MainWindow::combo(Control& c, bool editable) {
    auto* w = new QComboBox;
    w->setEditable(editable);
    w->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    binder_.comboBox(c, w);
    return w;
}

QListWidget* MainWindow::list(Control& c) {
    auto* w = new QListWidget;
    w->setUniformItemSizes(true);
    binder_.listBox(c, w);
    return w;
}

QHBoxLayout* MainWindow::runButtons(Control& start, Control& stop) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    QPushButton* go = button(start);
    go->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    QPushButton* halt = button(stop);
    halt->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    const int w = go->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 12;
    go->setMinimumWidth(w);
    halt->setMinimumWidth(w);
    row->addWidget(go);
    row->addWidget(halt);
    return row;
}

// ---- The parts of the window. ----

QWidget* MainWindow::buildHeader() {
    auto* header = new QWidget;
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);

    // Logo area: our logo and the maker's web address under it.
    auto* pic = new QWidget;
    binder_.plain(m_.Picture3, pic);
    auto* picLayout = new QVBoxLayout(pic);
    picLayout->setContentsMargins(4, 4, 4, 4);
    auto* logo = new LogoWidget;
    binder_.plain(m_.Picture4, logo);
    picLayout->addWidget(logo, 0, Qt::AlignHCenter);
    auto* web = new ClickLabel;
    web->setFont(Scaled(web->font(), 0.9));
    binder_.clickLabel(m_.cTarvex, web);
    picLayout->addWidget(web, 0, Qt::AlignHCenter);
    picLayout->addStretch(1);
    row->addWidget(pic, 0);

    row->addWidget(buildLinkFrame(), 0);
    row->addWidget(buildInstallation(), 1);
    return header;
}

QWidget* MainWindow::buildLinkFrame() {
    QGroupBox* box = frame(m_.cFrame(0));
    auto* g = new QGridLayout(box);

    QLineEdit* port = edit(m_.cEditCfg1);
    port->setFixedWidth(EditWidth(port, 3, QLatin1Char('0')));
    QComboBox* baud = combo(m_.cCombo1, true);
    QLineEdit* host = edit(m_.cEditCfg3);
    host->setMinimumWidth(EditWidth(host, 15, QLatin1Char('0')));

    AddPair(g, 0, 0, label(m_.lblCom), port);
    AddPair(g, 0, 2, label(m_.lblBaud), baud);
    g->addWidget(button(m_.cmdOpenCom), 0, 4);
    AddPair(g, 1, 0, label(m_.lblHost), host, 3);
    binder_.nameFrom(m_.lblCom, port);
    binder_.nameFrom(m_.lblBaud, baud);
    binder_.nameFrom(m_.lblHost, host);
    g->addWidget(button(m_.cmdOpenTCP), 1, 4);
    g->addWidget(button(m_.cmdScanCom), 2, 0, 1, 3);
    g->addWidget(button(m_.cmdClose), 2, 3, 1, 2);
    g->setColumnStretch(3, 1);
    return box;
}

QWidget* MainWindow::buildInstallation() {
    auto* column = new QWidget;
    auto* v = new QVBoxLayout(column);
    v->setContentsMargins(0, 0, 0, 0);

    QGroupBox* inst = frame(m_.cFrame(1));
    auto* g = new QGridLayout(inst);
    QLineEdit* num = edit(m_.txtNumInst);
    QLineEdit* sector = edit(m_.txtSector);
    QLineEdit* key = edit(m_.txtKeyMF, Look::Hex);
    AddPair(g, 0, 0, label(m_.cLabel(1)), num);
    AddPair(g, 0, 2, label(m_.cLabel(2)), sector);
    AddPair(g, 0, 4, label(m_.cLabel(3)), key);
    binder_.nameFrom(m_.cLabel(1), num);
    binder_.nameFrom(m_.cLabel(2), sector);
    binder_.nameFrom(m_.cLabel(3), key);
    g->addWidget(check(m_.chkVerify), 1, 0, 1, 6);
    g->setColumnStretch(6, 1);
    v->addWidget(inst);

    QGroupBox* card = frame(m_.cFrame(2));
    auto* h = new QGridLayout(card);
    QLineEdit* keyTar = edit(m_.txtKeyTar, Look::Hex);
    AddPair(h, 0, 0, label(m_.cLabel(17)), keyTar);
    binder_.nameFrom(m_.cLabel(17), keyTar);
    h->setColumnStretch(2, 1);
    v->addWidget(card);
    v->addStretch(1);
    return column;
}

QWidget* MainWindow::buildLog() {
    auto* panel = new QWidget;
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    log_ = new LogView;
    log_->bind(m_.listInfo, binder_);
    log_->installEventFilter(this);
    // Room for six lines of sixty characters, the width of the runs' separators; the window's room
    // beyond what the tabs ask for goes to the log.
    const QFontMetrics fm(log_->font());
    log_->setMinimumHeight(fm.lineSpacing() * 5);
    log_->setSizeHint(QSize(fm.horizontalAdvance(QString(64, QLatin1Char('-'))), fm.lineSpacing() * 6 + 8));
    row->addWidget(log_, 1);
    auto* side = new QVBoxLayout;
    side->addStretch(1);
    QPushButton* clear = button(m_.cBorrar);
    clear->setIcon(style()->standardIcon(QStyle::SP_DialogResetButton));
    side->addWidget(clear);
    QPushButton* record = button(m_.cmdRecord);
    record->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    side->addWidget(record);
    QPushButton* saveLog = button(m_.cmdSaveLog);
    saveLog->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    side->addWidget(saveLog);
    row->addLayout(side);
    return panel;
}

QWidget* MainWindow::buildFooter() {
    auto* footer = new QWidget;
    auto* row = new QHBoxLayout(footer);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(footer->fontMetrics().averageCharWidth() * 2);
    for (int i : m_.cIdioma.indexes()) {
        auto* lang = new ClickLabel;
        binder_.clickLabel(m_.cIdioma(i), lang);
        row->addWidget(lang);
    }
    row->addStretch(1);
    QLabel* version = label(m_.Label50);
    version->setFont(Scaled(version->font(), 0.9));
    row->addWidget(version);
    return footer;
}

QWidget* MainWindow::buildConfigTab() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;

    // CONFIG card.
    QGroupBox* cfg = panel(m_.cFrameS(0));
    auto* cv = new QVBoxLayout(cfg);
    cv->addWidget(check(m_.cSelTar(1), true));
    auto* g = new QGridLayout;
    QLineEdit* node = edit(m_.txtCfgNode);
    QLineEdit* scan = edit(m_.txtTScan);
    QComboBox* listType = combo(m_.cTipList, false);
    QLineEdit* relay = edit(m_.txtCfgTRele);
    QComboBox* unit = combo(m_.cUnitTime, false);
    QLineEdit* dec = edit(m_.txtVendDec);
    AddPair(g, 0, 0, label(m_.cLabel(9)), node);
    AddPair(g, 0, 2, label(m_.cLabel(22)), scan);
    AddPair(g, 1, 0, label(m_.cLabel(8)), listType);
    auto* relayRow = new QHBoxLayout;
    relayRow->addWidget(relay);
    relayRow->addWidget(unit);
    relayRow->addStretch(1);
    g->addWidget(label(m_.cLabel(7)), 1, 2, Qt::AlignRight | Qt::AlignVCenter);
    g->addLayout(relayRow, 1, 3);
    AddPair(g, 2, 0, label(m_.cLabel(11)), dec);
    g->setColumnStretch(4, 1);
    binder_.nameFrom(m_.cLabel(9), node);
    binder_.nameFrom(m_.cLabel(22), scan);
    binder_.nameFrom(m_.cLabel(8), listType);
    binder_.nameFrom(m_.cLabel(7), relay);
    binder_.nameFrom(m_.cLabel(7), unit);
    binder_.nameFrom(m_.cLabel(11), dec);
    cv->addLayout(g);
    cv->addWidget(check(m_.chkEspNodoTar));
    cv->addWidget(check(m_.chkEspResList));
    cv->addWidget(check(m_.chkCfgRelExt));
    QLineEdit* relayFrame = edit(m_.txtTramaRelExt, Look::Hex);
    binder_.nameFrom(m_.chkCfgRelExt, relayFrame);
    cv->addWidget(relayFrame);
    QLabel* note = label(m_.cLabel(10));
    note->setWordWrap(true);
    note->setFont(Scaled(note->font(), 0.9));
    cv->addWidget(note);
    cv->addStretch(1);
    row->addWidget(cfg, 3);

    // MASTER card.
    QGroupBox* master = panel(m_.cFrameS(3));
    auto* mv = new QVBoxLayout(master);
    mv->addWidget(check(m_.cSelTar(0), true));
    QGroupBox* current = frame(m_.cFrame(3));
    auto* cg = new QGridLayout(current);
    QLineEdit* oldNum = edit(m_.txtOldNumInst);
    QLineEdit* oldSector = edit(m_.txtOldSector);
    QLineEdit* oldKey = edit(m_.txtOldKeyMF, Look::Hex);
    AddPair(cg, 0, 0, label(m_.cLabel(4)), oldNum);
    AddPair(cg, 1, 0, label(m_.cLabel(5)), oldSector);
    AddPair(cg, 2, 0, label(m_.cLabel(6)), oldKey);
    cg->setColumnStretch(1, 1);
    binder_.nameFrom(m_.cLabel(4), oldNum);
    binder_.nameFrom(m_.cLabel(5), oldSector);
    binder_.nameFrom(m_.cLabel(6), oldKey);
    mv->addWidget(current);
    mv->addStretch(1);
    row->addWidget(master, 2);

    v->addLayout(row, 1);
    v->addLayout(runButtons(m_.cmdStart(0), m_.cmdStop(0)));
    return page;
}

QWidget* MainWindow::buildGenericTab() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;

    auto* generic = new QVBoxLayout;
    for (int i = 10; i <= 14; ++i) generic->addWidget(check(m_.cSelTar(i), true));
    generic->addStretch(1);
    row->addLayout(generic);

    QGroupBox* numeric = frame(m_.cFrame(4));
    auto* g = new QGridLayout(numeric);
    for (int d = 0; d <= 9; ++d) g->addWidget(check(m_.cSelTar(15 + d)), d % 5, d / 5);
    row->addWidget(numeric, 0, Qt::AlignTop);

    auto* all = new QVBoxLayout;
    all->addWidget(button(m_.cmdSelTot));
    all->addWidget(button(m_.cmdDeSel));
    all->addStretch(1);
    row->addLayout(all);
    row->addStretch(1);

    v->addLayout(row, 1);
    v->addLayout(runButtons(m_.cmdStart(1), m_.cmdStop(1)));
    return page;
}

QWidget* MainWindow::buildUserTab() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);

    // USUARIO BASICO: the user number and how many cards.
    auto* top = new QGridLayout;
    top->addWidget(check(m_.cSelTar(30), true), 0, 0, 1, 2);
    QLineEdit* user = edit(m_.txtUser);
    QLineEdit* count = edit(m_.txtNumTar);
    AddPair(top, 1, 0, label(m_.cLabel(12)), user);
    AddPair(top, 1, 2, label(m_.cLabel(16)), count);
    top->setColumnStretch(4, 1);
    binder_.nameFrom(m_.cLabel(12), user);
    binder_.nameFrom(m_.cLabel(16), count);
    v->addLayout(top);

    auto* row = new QHBoxLayout;
    // USUARIO AVANZADO: the nodes the user may use.
    QGroupBox* adv = panel(m_.cFrameS(1));
    auto* av = new QVBoxLayout(adv);
    av->addWidget(check(m_.cSelTar(31), true));
    auto* lists = new QGridLayout;
    QListWidget* deny = list(m_.listNoPermit);
    QListWidget* allow = list(m_.listPermit);
    lists->addWidget(label(m_.cLabel(13)), 0, 0);
    lists->addWidget(label(m_.cLabel(14)), 0, 2);
    lists->addWidget(deny, 1, 0);
    lists->addWidget(allow, 1, 2);
    binder_.nameFrom(m_.cLabel(13), deny);
    binder_.nameFrom(m_.cLabel(14), allow);
    auto* move = new QVBoxLayout;
    move->addStretch(1);
    move->addWidget(button(m_.cAddListPermit));
    move->addWidget(button(m_.cDelListPermit));
    move->addStretch(1);
    lists->addLayout(move, 1, 1);
    lists->addWidget(button(m_.cAddAllListPermit), 2, 0);
    lists->addWidget(button(m_.cDelAllListPermit), 2, 2);
    lists->setColumnStretch(0, 1);
    lists->setColumnStretch(2, 1);
    lists->setRowStretch(1, 1);
    av->addLayout(lists, 1);
    row->addWidget(adv, 3);

    // USUARIO CON SALDO: the starting balance.
    QGroupBox* bal = panel(m_.cFrameS(2));
    auto* bv = new QVBoxLayout(bal);
    bv->addWidget(check(m_.cSelTar(32), true));
    auto* bg = new QGridLayout;
    QLineEdit* balance = edit(m_.txtSalVal);
    AddPair(bg, 0, 0, label(m_.cLabel(15)), balance);
    bg->setColumnStretch(2, 1);
    binder_.nameFrom(m_.cLabel(15), balance);
    bv->addLayout(bg);
    bv->addStretch(1);
    row->addWidget(bal, 2);

    v->addLayout(row, 1);
    v->addLayout(runButtons(m_.cmdStart(2), m_.cmdStop(2)));
    return page;
}

QWidget* MainWindow::buildReadTab() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);

    QGroupBox* keys = frame(m_.cFrame(5));
    auto* kg = new QGridLayout(keys);
    for (int i = 0; i <= 2; ++i) {
        QLineEdit* key = edit(m_.txtUsaKey(i), Look::Hex);
        AddPair(kg, i, 0, label(m_.cLabel(18 + i)), key);
        binder_.nameFrom(m_.cLabel(18 + i), key);
    }
    kg->setColumnStretch(2, 1);
    // The keys beside the card's data, so that the page is no taller than the other tabs.
    auto* row = new QHBoxLayout;
    auto* keyColumn = new QVBoxLayout;
    keyColumn->addWidget(keys);
    keyColumn->addStretch(1);
    row->addLayout(keyColumn);

    QGroupBox* data = frame(m_.cFrame(6));
    auto* dv = new QVBoxLayout(data);
    QLabel* kind = label(m_.txtInfoCard);
    kind->setFont(Scaled(kind->font(), 1.15, true));
    kind->setTextInteractionFlags(Qt::TextSelectableByMouse);
    dv->addWidget(kind);
    for (Control* c : {&m_.txtInfoInst, &m_.txtInfoKey}) {
        QLabel* l = label(*c);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        dv->addWidget(l);
    }
    dv->addWidget(label(m_.cLabel(21)));
    for (int i = 0; i <= 2; ++i) {
        // The blocks read: to look at and copy, not to type into.
        QLineEdit* block = edit(m_.txtInfoRead(i), Look::Hex);
        block->setReadOnly(true);
        block->setMinimumWidth(EditWidth(block, 32, QLatin1Char('F')));
        binder_.nameFrom(m_.cLabel(21), block);
        dv->addWidget(block);
    }
    // The card's contents in words: selectable lines that scroll when they outgrow the box.
    QLabel* detail = label(m_.txtInfoDetail);
    detail->setFont(FixedFont());
    detail->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    detail->setWordWrap(true);
    detail->setMargin(4);
    detail->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    binder_.nameFrom(m_.cLabel(21), detail);
    auto* detailBox = new QScrollArea;
    detailBox->setWidget(detail);
    detailBox->setWidgetResizable(true);
    detailBox->setMinimumHeight(detail->fontMetrics().lineSpacing() * 6);
    dv->addWidget(detailBox, 1);
    row->addWidget(data, 1);
    v->addLayout(row, 1);
    v->addLayout(runButtons(m_.cmdLecTar, m_.cmdStop(3)));
    return page;
}

}  // namespace zt::ui
