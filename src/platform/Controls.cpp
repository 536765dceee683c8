#include "platform/Controls.h"

#include "platform/Messages.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace platform {

namespace {

// Text measurement without a surface.
TRect MeasureText(const TFont& font, const QString& text, int width, unsigned format)
{
    TCanvas c;
    c.SetFont(font);
    TRect r = Rect(0, 0, width, 0);
    c.DrawText(text, r, format | DT_CALCRECT);
    return r;
}

void Bevel(TCanvas& c, TRect& r, TBevelCut cut, int width)
{
    if (cut == bvNone)
        return;
    const TColor light = cut == bvRaised ? clBtnHighlight : clBtnShadow;
    const TColor dark = cut == bvRaised ? clBtnShadow : clBtnHighlight;
    for (int i = 0; i < width; ++i) {
        c.Pen().SetColor(light);
        c.MoveTo(r.Left, r.Bottom - 1);
        c.LineTo(r.Left, r.Top);
        c.LineTo(r.Right - 1, r.Top);
        c.Pen().SetColor(dark);
        c.LineTo(r.Right - 1, r.Bottom - 1);
        c.LineTo(r.Left - 1, r.Bottom - 1);
        InflateRect(r, -1, -1);
    }
}

QIcon IconOf(TImageList* list, int index)
{
    if (!list)
        return {};
    const QImage* img = list->ImageAt(index);
    return img ? QIcon(QPixmap::fromImage(*img)) : QIcon();
}

} // namespace

// ---------------------------------------------------------------- TLabel

TLabel::TLabel(QWidget* parent) : TGraphicControl(parent)
{
    resize(65, 13);
    AdjustBounds();
}

unsigned TLabel::TextFormat() const
{
    unsigned f = DT_EXPANDTABS;
    if (wordWrap_)
        f |= DT_WORDBREAK;
    if (!showAccel_)
        f |= DT_NOPREFIX;
    switch (alignment_) {
    case taLeftJustify: f |= DT_LEFT; break;
    case taRightJustify: f |= DT_RIGHT; break;
    case taCenter: f |= DT_CENTER; break;
    }
    return f;
}

void TLabel::AdjustBounds()
{
    if (!autoSize_)
        return;
    QString text = caption_;
    if (text.isEmpty() || (showAccel_ && text == QLatin1String("&")))
        text += QLatin1Char(' ');  // an empty label keeps one line's height
    const TRect r = MeasureText(Font(), text, width(), TextFormat() & ~(DT_CENTER | DT_RIGHT));
    const int w = wordWrap_ ? width() : r.Width();
    int left = x();
    if (!wordWrap_ && alignment_ == taRightJustify)
        left = x() + width() - w;
    else if (!wordWrap_ && alignment_ == taCenter)
        left = x() + (width() - w) / 2;
    SetBounds(left, y(), w, r.Height());
}

void TLabel::SetCaption(const QString& c)
{
    if (c == caption_)
        return;
    caption_ = c;
    AdjustBounds();
    update();
}

void TLabel::SetAutoSize(bool v)
{
    autoSize_ = v;
    AdjustBounds();
    update();
}

void TLabel::SetAlignment(TAlignment a)
{
    alignment_ = a;
    update();
}

void TLabel::SetLayout(TTextLayout l)
{
    layout_ = l;
    update();
}

void TLabel::SetWordWrap(bool v)
{
    wordWrap_ = v;
    AdjustBounds();
    update();
}

void TLabel::SetTransparent(bool v)
{
    transparent_ = v;
    update();
}

void TLabel::SetShowAccelChar(bool v)
{
    showAccel_ = v;
    AdjustBounds();
    update();
}

void TLabel::SetColor(TColor c)
{
    ownColor_ = true;
    setProperty("platform_color", static_cast<unsigned>(c));
    update();
}

void TLabel::FontChanged()
{
    TGraphicControl::FontChanged();
    AdjustBounds();
}

void TLabel::Paint()
{
    TCanvas& c = Canvas();
    if (!transparent_ && ownColor_) {
        c.Brush().SetColor(Color());
        c.FillRect(ClientRect());
    }
    c.Brush().SetStyle(bsClear);
    TRect r = ClientRect();
    unsigned f = TextFormat();
    if (layout_ != tlTop) {
        TRect calc = r;
        c.DrawText(caption_, calc, f | DT_CALCRECT);
        const int dy = layout_ == tlCenter ? (r.Height() - calc.Height()) / 2 : r.Height() - calc.Height();
        OffsetRect(r, 0, dy);
    }
    if (!isEnabled()) {
        OffsetRect(r, 1, 1);
        c.Font().SetColor(clBtnHighlight);
        c.DrawText(caption_, r, f);
        OffsetRect(r, -1, -1);
        c.Font().SetColor(clBtnShadow);
    }
    c.DrawText(caption_, r, f);
}

// ---------------------------------------------------------------- TLinkLabel

TLinkLabel::TLinkLabel(QWidget* parent) : TControlOf<QLabel>(parent)
{
    setTextFormat(Qt::RichText);
    setOpenExternalLinks(false);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    QObject::connect(this, &QLabel::linkActivated, this, [this](const QString& link) {
        if (OnLinkClick)
            RunGuarded([&] { OnLinkClick(this, link); });
    });
}

void TLinkLabel::SetCaption(const QString& c)
{
    caption_ = c;
    setText(c);
    adjustSize();
}

// ---------------------------------------------------------------- TEdit

TEdit::TEdit(QWidget* parent) : TControlOf<QLineEdit>(parent)
{
    resize(121, 21);
    QObject::connect(this, &QLineEdit::textChanged, this, [this](const QString&) {
        if (OnChange)
            RunGuarded([&] { OnChange(this); });
    });
}

QString TEdit::ApplyCase(const QString& s) const
{
    switch (charCase_) {
    case ecUpperCase: return s.toUpper();
    case ecLowerCase: return s.toLower();
    default: return s;
    }
}

void TEdit::SetText(const QString& t)
{
    QString v = ApplyCase(t);
    if (maxLength_ > 0 && v.size() > maxLength_)
        v.truncate(maxLength_);
    if (v != text())
        setText(v);
}

void TEdit::SetMaxLength(int n)
{
    maxLength_ = std::max(0, n);
    setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
}

void TEdit::SetCharCase(TEditCharCase c)
{
    charCase_ = c;
    SetText(text());
}

void TEdit::SetPasswordChar(QChar c)
{
    passwordChar_ = c;
    setEchoMode(c.isNull() ? QLineEdit::Normal : QLineEdit::Password);
}

int TEdit::SelStart() const
{
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void TEdit::keyPressEvent(QKeyEvent* e)
{
    if (resending_) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    bool swallow = false;
    QString replacement;
    RunGuarded([&] {
        int key = VirtualKeyFromQt(e->key());
        if (key != 0 && OnKeyDown) {
            OnKeyDown(this, key, ShiftStateFromQt(e->modifiers()));
            if (key == 0) {
                swallow = true;
                return;
            }
        }
        const QString typed = e->text();
        if (typed.isEmpty())
            return;
        QChar ch = typed[0];
        if (OnKeyPress) {
            OnKeyPress(this, ch);
            if (ch.isNull()) {
                swallow = true;
                return;
            }
        }
        if (ch.isPrint())
            ch = ApplyCase(QString(ch)).at(0);
        if (ch != typed[0])
            replacement = QString(ch);
    });
    if (swallow) {
        e->accept();
        return;
    }
    if (!replacement.isEmpty()) {
        QKeyEvent changed(QEvent::KeyPress, 0, e->modifiers(), replacement, e->isAutoRepeat());
        resending_ = true;
        QLineEdit::keyPressEvent(&changed);
        resending_ = false;
        e->setAccepted(changed.isAccepted());
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void TEdit::keyReleaseEvent(QKeyEvent* e)
{
    int key = VirtualKeyFromQt(e->key());
    if (key != 0 && OnKeyUp)
        RunGuarded([&] { OnKeyUp(this, key, ShiftStateFromQt(e->modifiers())); });
    QLineEdit::keyReleaseEvent(e);
}

void TEdit::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    if (OnEnter)
        RunGuarded([&] { OnEnter(this); });
}

void TEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    if (OnExit)
        RunGuarded([&] { OnExit(this); });
}

void TEdit::mouseReleaseEvent(QMouseEvent* e)
{
    QLineEdit::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && OnClick)
        RunGuarded([&] { OnClick(this); });
}

void TEdit::mouseDoubleClickEvent(QMouseEvent* e)
{
    QLineEdit::mouseDoubleClickEvent(e);
    if (OnDblClick)
        RunGuarded([&] { OnDblClick(this); });
}

// ---------------------------------------------------------------- TComboBox

TComboBox::TComboBox(QWidget* parent) : TControlOf<QComboBox>(parent)
{
    resize(145, 21);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    HookEditor();
    QObject::connect(this, qOverload<int>(&QComboBox::activated), this, [this](int) {
        RunGuarded([&] {
            if (OnSelect)
                OnSelect(this);
            if (OnChange)
                OnChange(this);
        });
    });
}

void TComboBox::HookEditor()
{
    if (QLineEdit* edit = lineEdit()) {
        edit->installEventFilter(this);
        QObject::connect(edit, &QLineEdit::textEdited, this, [this](const QString& t) {
            // Typing that matches no item leaves nothing chosen.
            const int i = findText(t, Qt::MatchFixedString | Qt::MatchCaseSensitive);
            if (i != currentIndex()) {
                const QSignalBlocker block(this);
                setCurrentIndex(i);
                if (lineEdit())
                    lineEdit()->setText(t);
            }
            if (OnChange)
                RunGuarded([&] { OnChange(this); });
        });
    }
}

void TComboBox::SetStyle(TComboBoxStyle s)
{
    const int index = currentIndex();
    const QString t = Text();
    setEditable(s == csDropDown);
    if (s == csDropDown) {
        setInsertPolicy(QComboBox::NoInsert);
        HookEditor();
        lineEdit()->setText(index >= 0 ? itemText(index) : t);
    }
    setCurrentIndex(index);
}

QStringList TComboBox::Items() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out << itemText(i);
    return out;
}

void TComboBox::SetItems(const QStringList& items)
{
    const QString t = Text();
    const QSignalBlocker block(this);
    clear();
    addItems(items);
    setCurrentIndex(-1);
    if (isEditable())
        lineEdit()->setText(t);
}

void TComboBox::AddItem(const QString& item)
{
    const int index = currentIndex();
    const QString t = Text();
    const QSignalBlocker block(this);
    addItem(item);
    setCurrentIndex(index);
    if (isEditable() && index < 0)
        lineEdit()->setText(t);
}

void TComboBox::Clear()
{
    const QSignalBlocker block(this);
    clear();
    setCurrentIndex(-1);
    if (isEditable())
        lineEdit()->clear();
}

void TComboBox::SetItemIndex(int i)
{
    const QSignalBlocker block(this);
    setCurrentIndex(i >= 0 && i < count() ? i : -1);
    if (isEditable() && currentIndex() < 0)
        lineEdit()->clear();
}

QString TComboBox::Text() const
{
    if (isEditable())
        return lineEdit()->text();
    return currentIndex() >= 0 ? itemText(currentIndex()) : QString();
}

void TComboBox::SetText(const QString& t)
{
    const QSignalBlocker block(this);
    const int i = findText(t, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (isEditable()) {
        setCurrentIndex(i);
        lineEdit()->setText(t);
    } else {
        setCurrentIndex(i);
    }
}

void TComboBox::focusInEvent(QFocusEvent* e)
{
    QComboBox::focusInEvent(e);
    if (OnEnter)
        RunGuarded([&] { OnEnter(this); });
}

void TComboBox::focusOutEvent(QFocusEvent* e)
{
    QComboBox::focusOutEvent(e);
    if (OnExit)
        RunGuarded([&] { OnExit(this); });
}

bool TComboBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit() && event->type() == QEvent::KeyPress && OnKeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (!ke->text().isEmpty()) {
            QChar ch = ke->text()[0];
            RunGuarded([&] { OnKeyPress(this, ch); });
            if (ch.isNull())
                return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

// ---------------------------------------------------------------- check box, radio button

TCheckBox::TCheckBox(QWidget* parent) : TControlOf<QCheckBox>(parent)
{
    resize(97, 17);
    QObject::connect(this, &QAbstractButton::clicked, this, [this](bool) {
        if (OnClick)
            RunGuarded([&] { OnClick(this); });
    });
}

void TCheckBox::SetChecked(bool c)
{
    SetState(c ? cbChecked : cbUnchecked);
}

TCheckBoxState TCheckBox::State() const
{
    switch (checkState()) {
    case Qt::Checked: return cbChecked;
    case Qt::PartiallyChecked: return cbGrayed;
    default: return cbUnchecked;
    }
}

void TCheckBox::SetState(TCheckBoxState s)
{
    if (s == State())
        return;
    setCheckState(s == cbChecked ? Qt::Checked : s == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
    if (OnClick)
        RunGuarded([&] { OnClick(this); });
}

TRadioButton::TRadioButton(QWidget* parent) : TControlOf<QRadioButton>(parent)
{
    resize(113, 17);
    QObject::connect(this, &QAbstractButton::clicked, this, [this](bool) {
        if (OnClick)
            RunGuarded([&] { OnClick(this); });
    });
}

void TRadioButton::SetChecked(bool c)
{
    if (c == isChecked())
        return;
    setChecked(c);
    if (c && OnClick)
        RunGuarded([&] { OnClick(this); });
}

// ---------------------------------------------------------------- TPanel

TPanel::TPanel(QWidget* parent) : TCustomControl(parent)
{
    setFocusPolicy(Qt::NoFocus);
    resize(185, 41);
    TCustomControl::SetColor(clBtnFace);
    UpdateMargins();
}

void TPanel::UpdateMargins()
{
    const int m = borderWidth_ + (outer_ != bvNone ? bevelWidth_ : 0) + (inner_ != bvNone ? bevelWidth_ : 0);
    setContentsMargins(m, m, m, m);
    detail::Realign(this);
    update();
}

void TPanel::SetCaption(const QString& c)
{
    caption_ = c;
    update();
}

void TPanel::SetBevelOuter(TBevelCut b)
{
    outer_ = b;
    UpdateMargins();
}

void TPanel::SetBevelInner(TBevelCut b)
{
    inner_ = b;
    UpdateMargins();
}

void TPanel::SetBevelWidth(int w)
{
    bevelWidth_ = std::max(1, w);
    UpdateMargins();
}

void TPanel::SetBorderWidth(int w)
{
    borderWidth_ = std::max(0, w);
    UpdateMargins();
}

void TPanel::SetAlignment(TAlignment a)
{
    alignment_ = a;
    update();
}

void TPanel::Paint()
{
    TCanvas& c = Canvas();
    TRect r = ClientRect();
    c.Brush().SetColor(Color());
    c.FillRect(r);
    Bevel(c, r, outer_, bevelWidth_);
    InflateRect(r, -borderWidth_, -borderWidth_);
    Bevel(c, r, inner_, bevelWidth_);
    if (caption_.isEmpty())
        return;
    c.Brush().SetStyle(bsClear);
    unsigned f = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
    f |= alignment_ == taCenter ? DT_CENTER : alignment_ == taRightJustify ? DT_RIGHT : DT_LEFT;
    c.DrawText(caption_, r, f);
}

// ---------------------------------------------------------------- TShape

TShape::TShape(QWidget* parent) : TGraphicControl(parent) { resize(65, 65); }

void TShape::SetShape(TShapeType s)
{
    shape_ = s;
    update();
}

void TShape::Paint()
{
    TCanvas& c = Canvas();
    c.Pen() = pen_;
    c.Brush() = brush_;
    const int pw = pen_.Style() == psClear ? 0 : pen_.Width();
    int x = pw / 2, y = x;
    int w = width() - pw + 1, h = height() - pw + 1;
    if (pw == 0) {
        --w;
        --h;
    }
    if (w < h && (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle)) {
        x += (w - w) / 2;
        y += (h - w) / 2;
        h = w;
    } else if (h < w && (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle)) {
        x += (w - h) / 2;
        w = h;
    }
    switch (shape_) {
    case stRectangle:
    case stSquare: c.Rectangle(x, y, x + w, y + h); break;
    case stRoundRect:
    case stRoundSquare: {
        const int s = std::min(w, h) / 4;
        c.RoundRect(x, y, x + w, y + h, s, s);
        break;
    }
    case stEllipse:
    case stCircle: c.Ellipse(x, y, x + w, y + h); break;
    }
}

TGroupBox::TGroupBox(QWidget* parent) : TControlOf<QGroupBox>(parent) { resize(185, 105); }

// ---------------------------------------------------------------- category panels

TCategoryPanel::TCategoryPanel(TCategoryPanelGroup* group) : TControlOf<QWidget>(group->inner_), group_(group)
{
    surface_ = new QWidget(this);
    setAutoFillBackground(true);
    surface_->setGeometry(0, HeaderHeight(), width(), std::max(0, expandedHeight_ - HeaderHeight()));
}

int TCategoryPanel::HeaderHeight() const { return group_->HeaderHeight(); }

void TCategoryPanel::SetCaption(const QString& c)
{
    caption_ = c;
    update();
}

void TCategoryPanel::SetCollapsed(bool c)
{
    if (c == collapsed_)
        return;
    collapsed_ = c;
    surface_->setVisible(!c);
    group_->ArrangePanels();
    RunGuarded([&] {
        if (c && OnCollapse)
            OnCollapse(this);
        if (!c && OnExpand)
            OnExpand(this);
    });
}

void TCategoryPanel::SetExpandedHeight(int h)
{
    expandedHeight_ = std::max(HeaderHeight(), h);
    group_->ArrangePanels();
}

void TCategoryPanel::SetVisible(bool v)
{
    setVisible(v);
    group_->ArrangePanels();
}

void TCategoryPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    TCanvas c;
    c.BindPainter(&p, width(), height());
    const TRect header = Rect(0, 0, width(), HeaderHeight());
    c.Brush().SetColor(cl3DLight);
    c.Pen().SetColor(clBtnShadow);
    c.Rectangle(header);
    const int image = collapsed_ ? group_->collapsedImage_ : group_->expandedImage_;
    int textLeft = 6;
    if (group_->images_ && image >= 0) {
        group_->images_->Draw(c, width() - group_->images_->Width() - 4, (HeaderHeight() - group_->images_->Height()) / 2, image);
    } else {
        // A plain chevron when no pictures are given.
        const int cx = width() - 12, cy = HeaderHeight() / 2;
        c.Brush().SetColor(clBtnText);
        c.Pen().SetColor(clBtnText);
        if (collapsed_)
            c.Polygon({Point(cx - 4, cy - 2), Point(cx + 4, cy - 2), Point(cx, cy + 2)});
        else
            c.Polygon({Point(cx - 4, cy + 2), Point(cx + 4, cy + 2), Point(cx, cy - 2)});
    }
    TFont f;
    f.SetFromQFont(font());
    f.SetStyle(fsBold);
    f.SetColor(clBtnText);
    c.SetFont(f);
    c.Brush().SetStyle(bsClear);
    TRect tr = Rect(textLeft, 0, width() - 24, HeaderHeight());
    c.DrawText(caption_, tr, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    c.Unbind();
}

void TCategoryPanel::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && e->position().y() < HeaderHeight())
        SetCollapsed(!collapsed_);
}

void TCategoryPanel::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    surface_->setGeometry(0, HeaderHeight(), width(), std::max(0, expandedHeight_ - HeaderHeight()));
}

TCategoryPanelGroup::TCategoryPanelGroup(QWidget* parent) : TControlOf<QScrollArea>(parent)
{
    inner_ = new QWidget;
    setWidget(inner_);  // the area owns it
    setWidgetResizable(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    resize(200, 400);
}

TCategoryPanel* TCategoryPanelGroup::AddPanel(const QString& caption)
{
    auto* panel = new TCategoryPanel(this);  // owned by the inner area
    panel->SetCaption(caption);
    panels_.push_back(panel);
    panel->show();
    ArrangePanels();
    return panel;
}

void TCategoryPanelGroup::SetHeaderHeight(int h)
{
    headerHeight_ = std::max(8, h);
    ArrangePanels();
}

void TCategoryPanelGroup::SetChevronImages(TImageList* images, int expanded, int collapsed)
{
    images_ = images;
    expandedImage_ = expanded;
    collapsedImage_ = collapsed;
    for (TCategoryPanel* p : panels_)
        p->update();
}

void TCategoryPanelGroup::CollapseAll()
{
    for (TCategoryPanel* p : panels_)
        p->Collapse();
}

void TCategoryPanelGroup::ExpandAll()
{
    for (TCategoryPanel* p : panels_)
        p->Expand();
}

void TCategoryPanelGroup::resizeEvent(QResizeEvent* e)
{
    QScrollArea::resizeEvent(e);
    ArrangePanels();
}

void TCategoryPanelGroup::ArrangePanels()
{
    const int w = viewport()->width();
    int y = 0;
    for (TCategoryPanel* p : panels_) {
        if (!detail::IsVisibleFlag(p))
            continue;
        const int h = p->Collapsed() ? headerHeight_ : p->ExpandedHeight();
        p->setGeometry(0, y, w, h);
        y += h;
    }
    inner_->resize(w, y);
}

// ---------------------------------------------------------------- TTabControl

TTabControl::TTabControl(QWidget* parent) : TCustomControl(parent)
{
    resize(289, 193);
    TCustomControl::SetColor(clBtnFace);
}

int TTabControl::AddTab(const QString& text, QObject* object)
{
    InsertTab(TabCount(), text, object);
    return TabCount() - 1;
}

void TTabControl::InsertTab(int index, const QString& text, QObject* object)
{
    index = std::clamp(index, 0, TabCount());
    tabs_.insert(tabs_.begin() + index, Tab{text, object, -1});
    if (tabIndex_ >= index)
        ++tabIndex_;
    if (tabIndex_ < 0)
        tabIndex_ = 0;
    Layout();
    TabsChanged();
}

void TTabControl::DeleteTab(int index)
{
    if (index < 0 || index >= TabCount())
        return;
    tabs_.erase(tabs_.begin() + index);
    if (tabIndex_ > index || tabIndex_ >= TabCount())
        --tabIndex_;
    Layout();
    TabsChanged();
}

void TTabControl::MoveTab(int from, int to)
{
    if (from < 0 || from >= TabCount() || to < 0 || to >= TabCount() || from == to)
        return;
    const Tab t = tabs_[static_cast<size_t>(from)];
    tabs_.erase(tabs_.begin() + from);
    tabs_.insert(tabs_.begin() + to, t);
    if (tabIndex_ == from)
        tabIndex_ = to;
    else if (from < tabIndex_ && to >= tabIndex_)
        --tabIndex_;
    else if (from > tabIndex_ && to <= tabIndex_)
        ++tabIndex_;
    Layout();
    TabsChanged();
}

void TTabControl::ClearTabs()
{
    tabs_.clear();
    tabIndex_ = -1;
    Layout();
    TabsChanged();
}

QString TTabControl::TabText(int index) const
{
    return index >= 0 && index < TabCount() ? tabs_[static_cast<size_t>(index)].text : QString();
}

void TTabControl::SetTabText(int index, const QString& text)
{
    if (index < 0 || index >= TabCount())
        return;
    tabs_[static_cast<size_t>(index)].text = text;
    Layout();
}

QObject* TTabControl::TabObject(int index) const
{
    return index >= 0 && index < TabCount() ? tabs_[static_cast<size_t>(index)].object : nullptr;
}

int TTabControl::TabImageIndex(int index) const
{
    return index >= 0 && index < TabCount() ? tabs_[static_cast<size_t>(index)].image : -1;
}

void TTabControl::SetTabImageIndex(int index, int image)
{
    if (index < 0 || index >= TabCount())
        return;
    tabs_[static_cast<size_t>(index)].image = image;
    Layout();
}

bool TTabControl::TabHighlighted(int index) const
{
    return index >= 0 && index < TabCount() && tabs_[static_cast<size_t>(index)].highlighted;
}

bool TTabControl::SetTabHighlighted(int index, bool highlighted)
{
    if (index < 0 || index >= TabCount())
        return false;
    tabs_[static_cast<size_t>(index)].highlighted = highlighted;
    update();
    return true;
}

void TTabControl::SetTabIndex(int index)
{
    tabIndex_ = index >= 0 && index < TabCount() ? index : -1;
    update();
}

void TTabControl::SetTabPosition(TTabPosition p)
{
    position_ = p;
    Layout();
}

void TTabControl::SetTabHeight(int h)
{
    tabHeight_ = std::max(0, h);
    Layout();
}

void TTabControl::SetTabWidth(int w)
{
    tabWidth_ = std::max(0, w);
    Layout();
}

void TTabControl::SetMultiLine(bool m)
{
    multiLine_ = m;
    Layout();
}

void TTabControl::SetOwnerDraw(bool o)
{
    ownerDraw_ = o;
    update();
}

void TTabControl::SetImages(TImageList* images)
{
    images_ = images;
    Layout();
}

void TTabControl::Layout()
{
    rects_.clear();
    const bool vertical = position_ == tpLeft || position_ == tpRight;
    const TFont font = Font();
    const TRect one = MeasureText(font, QStringLiteral("Xy"), 1000, DT_SINGLELINE);
    const int thickness = tabHeight_ > 0 ? tabHeight_ : one.Height() + 6;
    const int room = vertical ? height() - 4 : width() - 4;
    int along = 2, row = 0;
    for (const Tab& t : tabs_) {
        int length = tabWidth_;
        if (length <= 0) {
            length = MeasureText(font, t.text, 1000, DT_SINGLELINE).Width() + 12;
            if (images_ && t.image >= 0)
                length += (vertical ? images_->Height() : images_->Width()) + 3;
        }
        if (multiLine_ && along > 2 && along + length > room) {
            along = 2;
            ++row;
        }
        const int off = 2 + row * thickness;
        TRect r;
        switch (position_) {
        case tpTop: r = Rect(along, off, along + length, off + thickness); break;
        case tpBottom: r = Rect(along, height() - off - thickness, along + length, height() - off); break;
        case tpLeft: r = Rect(off, along, off + thickness, along + length); break;
        case tpRight: r = Rect(width() - off - thickness, along, width() - off, along + length); break;
        }
        rects_.push_back(r);
        along += length;
    }
    stripExtent_ = tabs_.empty() ? 0 : 2 + (row + 1) * thickness;
    update();
}

TRect TTabControl::TabRect(int index) const
{
    if (index < 0 || index >= static_cast<int>(rects_.size()))
        return TRect{};
    return rects_[static_cast<size_t>(index)];
}

int TTabControl::IndexOfTabAt(int x, int y) const
{
    for (size_t i = 0; i < rects_.size(); ++i)
        if (PtInRect(rects_[i], Point(x, y)))
            return static_cast<int>(i);
    return -1;
}

TRect TTabControl::DisplayRect() const
{
    TRect r = ClientRect();
    switch (position_) {
    case tpTop: r.Top += stripExtent_; break;
    case tpBottom: r.Bottom -= stripExtent_; break;
    case tpLeft: r.Left += stripExtent_; break;
    case tpRight: r.Right -= stripExtent_; break;
    }
    InflateRect(r, -4, -4);
    return r;
}

void TTabControl::Resize()
{
    Layout();
    TCustomControl::Resize();
}

bool TTabControl::CanChange()
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    return allow;
}

void TTabControl::Change()
{
    if (OnChange)
        OnChange(this);
}

void TTabControl::SelectByUser(int index)
{
    if (index < 0 || index >= TabCount() || index == tabIndex_)
        return;
    if (!CanChange())
        return;
    tabIndex_ = index;
    update();
    Change();
}

void TTabControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button == mbLeft) {
        const int i = IndexOfTabAt(x, y);
        if (i >= 0) {
            setFocus(Qt::MouseFocusReason);
            SelectByUser(i);
        }
    }
}

void TTabControl::KeyDown(int& key, TShiftState shift)
{
    TCustomControl::KeyDown(key, shift);
    if (key == VK_LEFT || key == VK_UP)
        SelectByUser(tabIndex_ - 1);
    else if (key == VK_RIGHT || key == VK_DOWN)
        SelectByUser(tabIndex_ + 1);
}

void TTabControl::Paint()
{
    TCanvas& c = Canvas();
    c.Brush().SetColor(Color());
    c.FillRect(ClientRect());
    TRect page = DisplayRect();
    InflateRect(page, 2, 2);
    c.Pen().SetColor(clBtnHighlight);
    c.MoveTo(page.Left, page.Bottom - 1);
    c.LineTo(page.Left, page.Top);
    c.LineTo(page.Right - 1, page.Top);
    c.Pen().SetColor(clBtnShadow);
    c.LineTo(page.Right - 1, page.Bottom - 1);
    c.LineTo(page.Left, page.Bottom - 1);
    const bool vertical = position_ == tpLeft || position_ == tpRight;
    for (int i = 0; i < TabCount(); ++i) {
        const TRect r = rects_[static_cast<size_t>(i)];
        const bool active = i == tabIndex_;
        if (ownerDraw_) {
            if (OnDrawTab)
                OnDrawTab(this, i, r, active);
            continue;
        }
        const bool highlighted = tabs_[static_cast<size_t>(i)].highlighted;
        c.Brush().SetColor(highlighted ? clHighlight : active ? clWindow : clBtnFace);
        c.Pen().SetColor(clBtnShadow);
        c.Rectangle(r);
        TFont f = Font();
        f.SetOrientation(position_ == tpLeft ? 900 : position_ == tpRight ? -900 : 0);
        if (highlighted)
            f.SetColor(clHighlightText);
        c.SetFont(f);
        c.Brush().SetStyle(bsClear);
        int x = r.Left + 6, y = r.Top + 3;
        if (images_ && tabs_[static_cast<size_t>(i)].image >= 0) {
            images_->Draw(c, r.Left + 3, r.Top + 3, tabs_[static_cast<size_t>(i)].image);
            if (vertical)
                y += images_->Height() + 3;
            else
                x += images_->Width() + 3;
        }
        if (position_ == tpLeft)
            c.TextOut(r.Left + 3, r.Bottom - 6, StripAccelerator(tabs_[static_cast<size_t>(i)].text));
        else if (position_ == tpRight)
            c.TextOut(r.Right - 3, r.Top + 6, StripAccelerator(tabs_[static_cast<size_t>(i)].text));
        else
            c.TextOut(x, y, StripAccelerator(tabs_[static_cast<size_t>(i)].text));
        if (active && hasFocus()) {
            TRect fr = r;
            InflateRect(fr, -2, -2);
            c.DrawFocusRect(fr);
        }
    }
}

// ---------------------------------------------------------------- pages

TTabSheet::TTabSheet(TPageControl* pageControl) : TCustomControl(pageControl), pageControl_(pageControl)
{
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void TTabSheet::SetCaption(const QString& c)
{
    caption_ = c;
    pageControl_->RebuildTabs();
}

void TTabSheet::SetTabVisible(bool v)
{
    if (v == tabVisible_)
        return;
    tabVisible_ = v;
    if (!v && pageControl_->active_ == this) {
        pageControl_->active_ = nullptr;
        hide();
    }
    pageControl_->RebuildTabs();
}

int TTabSheet::PageIndex() const
{
    const auto& pages = pageControl_->pages_;
    const auto it = std::find(pages.begin(), pages.end(), this);
    return it == pages.end() ? -1 : static_cast<int>(it - pages.begin());
}

TPageControl::TPageControl(QWidget* parent) : TTabControl(parent) {}

TPageControl::~TPageControl()
{
    // The sheets outlive this part of the control while Qt frees its children.
    for (TTabSheet* p : pages_)
        p->pageControl_ = nullptr;
}

TTabSheet::~TTabSheet()
{
    // A sheet freed on its own leaves its control, which must not keep it.
    if (!pageControl_)
        return;
    auto& pages = pageControl_->pages_;
    pages.erase(std::remove(pages.begin(), pages.end(), this), pages.end());
    if (pageControl_->active_ == this)
        pageControl_->active_ = nullptr;
    pageControl_->RebuildTabs();
}

TTabSheet* TPageControl::AddPage(const QString& caption)
{
    auto* sheet = new TTabSheet(this);  // owned by the control
    pages_.push_back(sheet);
    sheet->SetCaption(caption);
    if (!active_)
        SetActivePage(sheet);
    return sheet;
}

TTabSheet* TPageControl::Page(int index) const
{
    return index >= 0 && index < PageCount() ? pages_[static_cast<size_t>(index)] : nullptr;
}

void TPageControl::RebuildTabs()
{
    const QSignalBlocker block(this);
    ClearTabs();
    for (TTabSheet* p : pages_)
        if (p->TabVisible())
            AddTab(p->Caption(), p);
    int current = -1;
    for (int i = 0; i < TabCount(); ++i)
        if (TabObject(i) == active_)
            current = i;
    if (!active_ && TabCount() > 0) {
        active_ = static_cast<TTabSheet*>(TabObject(0));
        current = 0;
    }
    SetTabIndex(current);
    PlaceSheets();
}

void TPageControl::PlaceSheets()
{
    const TRect r = DisplayRect();
    for (TTabSheet* p : pages_) {
        p->setGeometry(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
        p->setVisible(p == active_);
    }
}

void TPageControl::SetActivePage(TTabSheet* page)
{
    if (page && (page->PageControl() != this || !page->TabVisible()))
        return;
    active_ = page;
    int current = -1;
    for (int i = 0; i < TabCount(); ++i)
        if (TabObject(i) == page)
            current = i;
    SetTabIndex(current);
    PlaceSheets();
}

int TPageControl::ActivePageIndex() const { return active_ ? active_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int index) { SetActivePage(Page(index)); }

void TPageControl::Change()
{
    active_ = static_cast<TTabSheet*>(TabObject(TabIndex()));
    PlaceSheets();
    TTabControl::Change();
}

void TPageControl::Resize()
{
    TTabControl::Resize();
    PlaceSheets();
}

// ---------------------------------------------------------------- memo, rich edit

namespace {

template <class Edit>
void ApplyScrollBars(Edit* e, TScrollStyle s)
{
    e->setHorizontalScrollBarPolicy(s == ssHorizontal || s == ssBoth ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    e->setVerticalScrollBarPolicy(s == ssVertical || s == ssBoth ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

QStringList SplitPlain(const QString& text)
{
    if (text.isEmpty())
        return {};
    return text.split(QLatin1Char('\n'));
}

} // namespace

TMemo::TMemo(QWidget* parent) : TControlOf<QPlainTextEdit>(parent)
{
    resize(185, 89);
    QObject::connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (OnChange)
            RunGuarded([&] { OnChange(this); });
    });
}

QStringList TMemo::Lines() const { return SplitPlain(toPlainText()); }

void TMemo::SetLines(const QStringList& lines) { setPlainText(lines.join(QLatin1Char('\n'))); }

void TMemo::AddLine(const QString& line) { appendPlainText(line); }

void TMemo::SetScrollBars(TScrollStyle s) { ApplyScrollBars(this, s); }

TRichEdit::TRichEdit(QWidget* parent) : TControlOf<QTextEdit>(parent)
{
    resize(185, 89);
    setAcceptRichText(true);
    QObject::connect(this, &QTextEdit::textChanged, this, [this] {
        if (OnChange)
            RunGuarded([&] { OnChange(this); });
    });
    QObject::connect(this, &QTextEdit::selectionChanged, this, [this] {
        if (OnSelectionChange)
            RunGuarded([&] { OnSelectionChange(this); });
    });
}

QStringList TRichEdit::Lines() const { return SplitPlain(toPlainText()); }

void TRichEdit::SetLines(const QStringList& lines) { setPlainText(lines.join(QLatin1Char('\n'))); }

void TRichEdit::SetScrollBars(TScrollStyle s) { ApplyScrollBars(this, s); }

// ---------------------------------------------------------------- list boxes

class ListBoxDelegate : public QStyledItemDelegate
{
public:
    explicit ListBoxDelegate(TListBox* list) : QStyledItemDelegate(list), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (list_->style_ == lbStandard || !list_->OnDrawItem) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        TOwnerDrawState state = 0;
        if (option.state & QStyle::State_Selected)
            state |= odSelected;
        if (option.state & QStyle::State_HasFocus)
            state |= odFocused;
        if (!(option.state & QStyle::State_Enabled))
            state |= odDisabled;
        TCanvas& c = *list_->canvas_;
        painter->save();
        c.BindPainter(painter, option.rect.right() + 1, option.rect.bottom() + 1);
        c.SetFont(list_->Font());
        if (state & odSelected) {
            c.Brush().SetColor(clHighlight);
            c.Font().SetColor(clHighlightText);
        } else {
            c.Brush().SetColor(list_->Color());
        }
        const TRect r = Bounds(option.rect.x(), option.rect.y(), option.rect.width(), option.rect.height());
        c.SetClipRect(r);
        RunGuarded([&] { list_->OnDrawItem(list_, index.row(), r, state); });
        c.RemoveClip();
        c.Unbind();
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        if (list_->style_ != lbStandard)
            s.setHeight(list_->itemHeight_);
        return s;
    }

private:
    TListBox* list_;
};

TListBox::TListBox(QWidget* parent) : TControlOf<QListWidget>(parent), canvas_(std::make_unique<TCanvas>())
{
    resize(121, 97);
    setItemDelegate(new ListBoxDelegate(this));  // owned by the list
    setUniformItemSizes(true);
    QObject::connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem*) {
        if (OnClick)
            RunGuarded([&] { OnClick(this); });
    });
}

TListBox::~TListBox() = default;

QStringList TListBox::Items() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out << item(i)->text();
    return out;
}

void TListBox::SetItems(const QStringList& items)
{
    Clear();
    for (const QString& s : items)
        AddItem(s);
}

int TListBox::AddItem(const QString& text)
{
    addItem(text);
    return count() - 1;
}

void TListBox::Clear()
{
    const QSignalBlocker block(this);
    clear();
}

QString TListBox::Item(int index) const
{
    return index >= 0 && index < count() ? item(index)->text() : QString();
}

int TListBox::ItemIndex() const
{
    const QList<QListWidgetItem*> sel = selectedItems();
    return sel.isEmpty() ? -1 : row(sel.first());
}

void TListBox::SetItemIndex(int index)
{
    const QSignalBlocker block(this);
    if (index < 0 || index >= count()) {
        clearSelection();
        setCurrentRow(-1);
        return;
    }
    setCurrentRow(index);
}

void TListBox::SetStyle(TListBoxStyle s)
{
    style_ = s;
    doItemsLayout();
    viewport()->update();
}

void TListBox::SetItemHeight(int h)
{
    itemHeight_ = std::max(1, h);
    doItemsLayout();
    viewport()->update();
}

int TListBox::ItemAtPos(int x, int y) const
{
    QListWidgetItem* it = itemAt(QPoint(x, y) - viewport()->pos());
    return it ? row(it) : -1;
}

TRect TListBox::ItemRect(int index) const
{
    if (index < 0 || index >= count())
        return TRect{};
    const QRect r = visualItemRect(item(index)).translated(viewport()->pos());
    return Bounds(r.x(), r.y(), r.width(), r.height());
}

void TListBox::mouseDoubleClickEvent(QMouseEvent* e)
{
    QListWidget::mouseDoubleClickEvent(e);
    if (OnDblClick)
        RunGuarded([&] { OnDblClick(this); });
}

TCheckListBox::TCheckListBox(QWidget* parent) : TListBox(parent)
{
    QObject::connect(this, &QListWidget::itemChanged, this, [this](QListWidgetItem* it) {
        if (OnClickCheck)
            RunGuarded([&] { OnClickCheck(this, row(it)); });
    });
    QObject::connect(model(), &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int first, int last) {
        const QSignalBlocker block(this);
        for (int i = first; i <= last; ++i) {
            item(i)->setFlags(item(i)->flags() | Qt::ItemIsUserCheckable);
            item(i)->setCheckState(Qt::Unchecked);
        }
    });
}

bool TCheckListBox::Checked(int index) const
{
    return index >= 0 && index < count() && item(index)->checkState() == Qt::Checked;
}

void TCheckListBox::SetChecked(int index, bool checked)
{
    if (index < 0 || index >= count())
        return;
    const QSignalBlocker block(this);
    item(index)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

// ---------------------------------------------------------------- tree view

void TTreeNode::SetImageIndex(int i)
{
    image_ = i;
    auto* view = dynamic_cast<TTreeView*>(treeWidget());
    setIcon(0, view ? IconOf(view->images_, i) : QIcon());
}

void TTreeNode::SetHasCheckBox(bool v)
{
    hasCheck_ = v;
    if (v) {
        setFlags(flags() | Qt::ItemIsUserCheckable);
        setCheckState(0, Qt::Unchecked);
    } else {
        setFlags(flags() & ~Qt::ItemIsUserCheckable);
        setData(0, Qt::CheckStateRole, QVariant());
    }
}

void TTreeNode::SetChecked(bool c)
{
    if (!hasCheck_)
        return;
    auto* view = dynamic_cast<TTreeView*>(treeWidget());
    if (view)
        view->settingCheck_ = true;
    setCheckState(0, c ? Qt::Checked : Qt::Unchecked);
    if (view)
        view->settingCheck_ = false;
}

int TTreeNode::Level() const
{
    int level = 0;
    for (QTreeWidgetItem* p = parent(); p; p = p->parent())
        ++level;
    return level;
}

int TTreeNode::Index() const
{
    if (parent())
        return parent()->indexOfChild(const_cast<TTreeNode*>(this));
    return treeWidget() ? treeWidget()->indexOfTopLevelItem(const_cast<TTreeNode*>(this)) : -1;
}

TTreeView::TTreeView(QWidget* parent) : TControlOf<QTreeWidget>(parent)
{
    resize(121, 97);
    setHeaderHidden(true);
    setColumnCount(1);
    QObject::connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
        if (OnChange)
            RunGuarded([&] { OnChange(this, static_cast<TTreeNode*>(current)); });
    });
    QObject::connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* it, int) {
        if (!settingCheck_ && OnChecked)
            RunGuarded([&] { OnChecked(this, static_cast<TTreeNode*>(it)); });
    });
    QObject::connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem*, int) {
        if (OnClick)
            RunGuarded([&] { OnClick(this); });
    });
    QObject::connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem*, int) {
        if (OnDblClick)
            RunGuarded([&] { OnDblClick(this); });
    });
}

TTreeNode* TTreeView::AddChild(TTreeNode* parent, const QString& text)
{
    auto* node = new TTreeNode;  // owned by the tree (or its parent node) below
    settingCheck_ = true;
    if (parent)
        parent->addChild(node);
    else
        addTopLevelItem(node);
    node->SetText(text);
    if (checkBoxes_)
        node->SetHasCheckBox(true);
    settingCheck_ = false;
    return node;
}

void TTreeView::DeleteNode(TTreeNode* node)
{
    delete node;  // a tree item leaves its tree when destroyed
}

void TTreeView::Clear() { clear(); }

TTreeNode* TTreeView::Selected() const { return static_cast<TTreeNode*>(currentItem()); }

void TTreeView::SetSelected(TTreeNode* node) { setCurrentItem(node); }

void TTreeView::SetImages(TImageList* images)
{
    images_ = images;
    if (images)
        setIconSize(QSize(images->Width(), images->Height()));
    QTreeWidgetItemIterator it(this);
    while (*it) {
        auto* n = static_cast<TTreeNode*>(*it);
        n->SetImageIndex(n->ImageIndex());
        ++it;
    }
}

void TTreeView::SetHideSelection(bool hide)
{
    QPalette p = palette();
    if (hide) {
        p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Inactive, QPalette::Base));
        p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Inactive, QPalette::Text));
    } else {
        p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
        p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
    }
    setPalette(p);
}

// ---------------------------------------------------------------- TImage

TImage::TImage(QWidget* parent) : TGraphicControl(parent) { resize(105, 105); }

void TImage::SetPicture(const TBitmap& b)
{
    picture_.Assign(b);
    update();
}

void TImage::SetStretch(bool s)
{
    stretch_ = s;
    update();
}

void TImage::SetCenter(bool c)
{
    center_ = c;
    update();
}

void TImage::SetTransparent(bool t)
{
    picture_.SetTransparent(t);
    update();
}

void TImage::Paint()
{
    if (picture_.Empty())
        return;
    TCanvas& c = Canvas();
    if (stretch_) {
        c.StretchDraw(ClientRect(), picture_);
        return;
    }
    int x = 0, y = 0;
    if (center_) {
        x = (width() - picture_.Width()) / 2;
        y = (height() - picture_.Height()) / 2;
    }
    c.Draw(x, y, picture_);
}

// ---------------------------------------------------------------- TTimer

TTimer::TTimer(QObject* owner) : QObject(owner), timer_(new QTimer(this))
{
    QObject::connect(timer_, &QTimer::timeout, this, [this] {
        if (OnTimer)
            RunGuarded([&] { OnTimer(this); });
    });
    Update();
}

TTimer::~TTimer() { timer_->stop(); }

void TTimer::SetInterval(int ms)
{
    interval_ = std::max(0, ms);
    Update();
}

void TTimer::SetEnabled(bool e)
{
    enabled_ = e;
    Update();
}

void TTimer::Update()
{
    timer_->stop();
    // An interval of 0 stops the timer, as on the platform.
    if (enabled_ && interval_ > 0)
        timer_->start(interval_);
}

// ---------------------------------------------------------------- menus

TPopupMenu::TPopupMenu(QObject* owner) : QObject(owner), menu_(std::make_unique<QMenu>()) {}

TPopupMenu::~TPopupMenu() = default;

TMenuItem* TPopupMenu::Add(const QString& caption, TNotifyEvent onClick)
{
    QAction* action = caption == QLatin1String("-") ? menu_->addSeparator() : menu_->addAction(caption);
    auto* item = new TMenuItem(this, action);  // owned by the menu object
    item->OnClick = std::move(onClick);
    items_.push_back(item);
    return item;
}

void TPopupMenu::Popup(int x, int y)
{
    RunGuarded([&] {
        if (OnPopup)
            OnPopup(this);
    });
    menu_->popup(QPoint(x, y));
}

void TPopupMenu::CloseMenu() { menu_->hide(); }

bool TPopupMenu::IsOpen() const { return menu_->isVisible(); }

TMenuItem::TMenuItem(TPopupMenu* menu, QAction* action) : QObject(menu), action_(action)
{
    QObject::connect(action_, &QAction::triggered, this, [this](bool) {
        if (OnClick)
            RunGuarded([&] { OnClick(this); });
    });
}

QString TMenuItem::Caption() const { return IsSeparator() ? QStringLiteral("-") : action_->text(); }
void TMenuItem::SetCaption(const QString& c) { action_->setText(c); }
bool TMenuItem::Enabled() const { return action_->isEnabled(); }
void TMenuItem::SetEnabled(bool e) { action_->setEnabled(e); }
bool TMenuItem::Visible() const { return action_->isVisible(); }
void TMenuItem::SetVisible(bool v) { action_->setVisible(v); }
bool TMenuItem::Checked() const { return action_->isChecked(); }
void TMenuItem::SetChecked(bool c)
{
    action_->setCheckable(true);
    action_->setChecked(c);
}
bool TMenuItem::IsSeparator() const { return action_->isSeparator(); }

void TMenuItem::Click()
{
    if (action_->isEnabled() && action_->isVisible() && !action_->isSeparator())
        action_->trigger();
}

// ---------------------------------------------------------------- hint window

THintWindow::THintWindow(QWidget* parent) : TCustomControl(parent)
{
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    setFocusPolicy(Qt::NoFocus);
    TCustomControl::SetColor(clInfoBk);
}

TRect THintWindow::CalcHintRect(int maxWidth, const QString& text)
{
    TRect r = MeasureText(Font(), text, maxWidth, DT_WORDBREAK | DT_NOPREFIX);
    r.Right += 6;
    r.Bottom += 4;
    return r;
}

void THintWindow::ActivateHint(const TRect& rect, const QString& text)
{
    caption_ = text;
    setGeometry(rect.Left, rect.Top, rect.Width(), rect.Height());
    show();
    update();
}

void THintWindow::Paint()
{
    TCanvas& c = Canvas();
    c.Brush().SetColor(clInfoBk);
    c.Pen().SetColor(clBlack);
    c.Rectangle(ClientRect());
    c.Font().SetColor(clInfoText);
    c.Brush().SetStyle(bsClear);
    TRect r = ClientRect();
    InflateRect(r, -2, -2);
    r.Left += 1;
    c.DrawText(caption_, r, DT_WORDBREAK | DT_NOPREFIX);
}

// ---------------------------------------------------------------- TScrollBar

TScrollBar::TScrollBar(QWidget* parent, TScrollBarKind kind) : TControlOf<QScrollBar>(parent)
{
    SetKind(kind);
    setRange(0, 100);
    QObject::connect(this, &QScrollBar::valueChanged, this, [this](int) {
        if (OnChange)
            RunGuarded([&] { OnChange(this); });
    });
}

void TScrollBar::SetParams(int position, int min, int max)
{
    setRange(min, std::max(min, max));
    setValue(position);
}

} // namespace platform
