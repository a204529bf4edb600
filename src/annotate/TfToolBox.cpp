#include "annotate/TfToolBox.h"

#include "annotate/TNewButton.h"
#include "annotate/ToolBoxTarget.h"
#include "platform/ToolWindowHint.h"

#include <QKeyEvent>
#include <QWindow>

namespace tern {

namespace {

struct ButtonSpec
{
    const char* icon;
    int tag;
};

// Tag 1: the tools; 2: colours; 3: pen widths; 4: font sizes.
constexpr std::array<ButtonSpec, TfToolBox::kButtonCount> kSpecs{{
    {"BTN_DRAW", 1},
    {"BTN_TEXT", 1},
    {"BTN_LINE", 1},
    {"BTN_RECT", 1},
    {"BTN_ARROW", 1},
    {"BTN_ELLIPSE", 1},
    {"BTN_MOVE", 1},
    {"BTN_UNDO", 1},
    {"BTN_RED", 2},
    {"BTN_GREEN", 2},
    {"BTN_BLUE", 2},
    {"BTN_LINE1", 3},
    {"BTN_LINE2", 3},
    {"BTN_LINE3", 3},
    {"BTN_FONT1", 4},
    {"BTN_FONT2", 4},
    {"BTN_FONT3", 4},
}};

constexpr int kToolCount = 8;
constexpr int kMoveButton = 6;
constexpr int kUndoButton = 7;
constexpr int kMargin = 12;
constexpr int kToolSize = 44;
constexpr int kToolPitch = 45;
constexpr int kToolIcon = 32;
constexpr int kOptionSize = 30;
constexpr int kOptionIcon = 20;
constexpr int kColourRowTop = 200;
constexpr int kWidthFontRowTop = 230;
constexpr int kUploadWidth = 88;
constexpr int kUploadHeight = 35;
constexpr int kUploadTopWithColours = 270;
constexpr int kUploadTopWithoutColours = 220;
// Below the upload button the palette keeps the margin it has above its first row.
constexpr int kBottomMargin = kMargin;

// First button of each option row.
constexpr std::array<int, 3> kRowFirst{8, 11, 14};

// Tool button -> tool number on the selector and whether each option row is shown.
struct ToolRows
{
    int tool;
    bool colours;
    bool widths;
    bool fonts;
};

constexpr std::array<ToolRows, 7> kToolRows{{
    {1, true, true, false},
    {2, true, false, true},
    {3, true, true, false},
    {4, true, true, false},
    {5, true, true, false},
    {6, true, true, false},
    {0, false, false, false},
}};

QRect buttonBounds(int index)
{
    if (index < kToolCount)
        return {kMargin + kToolPitch * (index % 2), kMargin + kToolPitch * (index / 2), kToolSize, kToolSize};
    const int inRow = (index - kToolCount) % 3;
    const int top = index < kRowFirst[1] ? kColourRowTop : kWidthFontRowTop;
    return {kMargin + kOptionSize * inRow, top, kOptionSize, kOptionSize};
}

// How often, and how long at most, the palette looks for the frame the window manager gives it.
constexpr int kFramePollMs = 20;
constexpr int kFrameWaitMs = 2000;

} // namespace

TfToolBox::TfToolBox(ToolBoxTarget& target, const QString& uploadCaption, QWidget* selector)
    : QWidget(selector, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_target(target)
{
    setObjectName(QStringLiteral("fToolBox"));
    setWindowTitle(QStringLiteral("[lCaption]"));
    setFocusPolicy(Qt::StrongFocus);
    // A fixed size: the user cannot resize the palette, and window managers offer no maximise button.
    setFixedSize(kClientWidth, 316);
    // The palette is narrow: minimise and maximise buttons would leave its title no room.
    platform::MarkAsToolWindow(static_cast<platform::WindowHandle>(winId()));

    for (int index = 0; index < kButtonCount; ++index) {
        auto* button = new TNewButton(this);
        button->IconName = QString::fromLatin1(kSpecs[static_cast<std::size_t>(index)].icon);
        button->setGeometry(buttonBounds(index));
        button->setTag(kSpecs[static_cast<std::size_t>(index)].tag);
        button->IconSize = index < kToolCount ? kToolIcon : kOptionIcon;
        if (index >= kToolCount) {
            button->setVisible(false);
            button->OnPress = [this](TNewButton* sender) { optionClicked(sender); };
        } else if (index == kUndoButton) {
            button->GroupSelect = false;
            button->OnPress = [this](TNewButton*) { m_target.Undo(); };
        } else {
            button->OnPress = [this, index](TNewButton*) { toolClicked(index); };
        }
        m_buttons[static_cast<std::size_t>(index)] = button;
    }
    m_buttons[kMoveButton]->setEnabled(false);

    m_upload = new TNewButton(this);
    m_upload->setObjectName(QStringLiteral("UploadButton"));
    m_upload->setGeometry(kMargin, 260, kUploadWidth, kUploadHeight);
    m_upload->setText(uploadCaption);
    m_upload->OnPress = [this](TNewButton*) { m_target.Confirm(); };
    SetRowHidden(kColourRow, true);

    m_frameWait.setInterval(kFramePollMs);
    connect(&m_frameWait, &QTimer::timeout, this, &TfToolBox::keepPlaceOnceFramed);
}

TfToolBox::~TfToolBox() = default;

void TfToolBox::markInRow(int firstButton, int index)
{
    for (int k = 0; k < 3; ++k) {
        const int button = firstButton + k;
        m_buttons[static_cast<std::size_t>(button)]->setEnabled(k != index);
    }
}

void TfToolBox::MarkColor(int index)
{
    markInRow(kRowFirst[kColourRow], index);
}

void TfToolBox::MarkLine(int index)
{
    markInRow(kRowFirst[kWidthRow], index);
}

void TfToolBox::MarkFont(int index)
{
    markInRow(kRowFirst[kFontRow], index);
}

void TfToolBox::SetRowHidden(int row, bool hidden)
{
    if (row < 0 || row > 2)
        return;
    for (int k = 0; k < 3; ++k) {
        const int button = kRowFirst[static_cast<std::size_t>(row)] + k;
        m_buttons[static_cast<std::size_t>(button)]->setVisible(!hidden);
    }
    for (int tool = 0; tool < 4; ++tool)
        m_buttons[static_cast<std::size_t>(tool)]->update();
    if (row == kColourRow)
        m_upload->move(kMargin, hidden ? kUploadTopWithoutColours : kUploadTopWithColours);
    setFixedSize(kClientWidth, m_upload->y() + kUploadHeight + kBottomMargin);
}

void TfToolBox::toolClicked(int button)
{
    const ToolRows& rows = kToolRows.at(static_cast<std::size_t>(button));
    m_target.SetTool(rows.tool);
    SetRowHidden(kColourRow, !rows.colours);
    SetRowHidden(kWidthRow, !rows.widths);
    SetRowHidden(kFontRow, !rows.fonts);
}

void TfToolBox::optionClicked(TNewButton* sender)
{
    struct Choice
    {
        const char* icon;
        void (ToolBoxTarget::*set)(int);
        int index;
    };
    static constexpr std::array<Choice, 9> kChoices{{
        {"BTN_RED", &ToolBoxTarget::SetCurColor, 0},
        {"BTN_GREEN", &ToolBoxTarget::SetCurColor, 1},
        {"BTN_BLUE", &ToolBoxTarget::SetCurColor, 2},
        {"BTN_FONT1", &ToolBoxTarget::SetCurFont, 0},
        {"BTN_FONT2", &ToolBoxTarget::SetCurFont, 1},
        {"BTN_FONT3", &ToolBoxTarget::SetCurFont, 2},
        {"BTN_LINE1", &ToolBoxTarget::SetCurLine, 0},
        {"BTN_LINE2", &ToolBoxTarget::SetCurLine, 1},
        {"BTN_LINE3", &ToolBoxTarget::SetCurLine, 2},
    }};
    for (const Choice& choice : kChoices) {
        if (sender->IconName == QLatin1String(choice.icon)) {
            (m_target.*choice.set)(choice.index);
            return;
        }
    }
}

void TfToolBox::keyPressEvent(QKeyEvent* event)
{
    m_target.ForwardKey(event);
}

void TfToolBox::placeFrameAt(const QPoint& place)
{
    m_framePlace = place;
    m_placeAsked = true;
    move(place);
}

void TfToolBox::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A window manager may have framed the window before this event, around the place asked for.
    if (!m_placeAsked)
        m_framePlace = pos();
    m_frameDeadline.setRemainingTime(kFrameWaitMs);
    m_frameWait.start();
}

void TfToolBox::keepPlaceOnceFramed()
{
    // The frame is asked of the window itself: the widget learns it only when the window moves, and a
    // window manager that puts its frame around the place asked for moves nothing.
    QWindow* window = windowHandle();
    const QMargins frame = window ? window->frameMargins() : QMargins();
    const bool framed = !frame.isNull();
    if (!framed && !m_frameDeadline.hasExpired())
        return;
    m_frameWait.stop();
    if (framed && geometry().topLeft() - QPoint(frame.left(), frame.top()) != m_framePlace)
        window->setPosition(m_framePlace + QPoint(frame.left(), frame.top()));
}

void TfToolBox::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    m_target.PaletteMoved();
}

} // namespace tern
