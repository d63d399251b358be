#include "welcome/BridgeChoiceSheet.h"

#include "welcome/SheetParts.h"
#include "welcome/WelcomeScreenTexts.h"

#include "ui/Colours.h"
#include "ui/DynamicColor.h"
#include "ui/ElidedLabel.h"
#include "ui/EnvironmentKeys.h"
#include "ui/SystemColours.h"
#include "ui/TextLabel.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantora {

namespace {

const ui::DynamicColor rowHighlight{ui::colours::black(0.06), ui::colours::white(0.08)};
constexpr qreal rowCornerRadius = 6;

} // namespace

BridgeChoiceRow::BridgeChoiceRow(const DiscoveredBridge &bridge, QWidget *parent)
    : QAbstractButton(parent)
    , m_name(new ui::ElidedLabel(this))
    , m_address(new ui::TextLabel(QString(), this))
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    // A button's labels would take the button text colour; these read as text on the sheet.
    setBackgroundRole(QPalette::Window);
    m_address->setForeground(ui::systemColours::secondary());
    for (QWidget *label : {static_cast<QWidget *>(m_name), static_cast<QWidget *>(m_address)})
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(padding, padding, padding, padding);
    row->addWidget(m_name, 0, Qt::AlignVCenter);
    row->addStretch();
    row->addWidget(m_address, 0, Qt::AlignVCenter);
    setBridge(bridge);
}

void BridgeChoiceRow::setBridge(const DiscoveredBridge &bridge)
{
    m_bridge = bridge;
    m_name->setText(bridge.name);
    m_address->setText(bridge.address);
    setAccessibleName(bridge.name + QStringLiteral(", ") + bridge.address);
}

QString BridgeChoiceRow::shownName() const
{
    return m_name->text();
}

QString BridgeChoiceRow::shownAddress() const
{
    return m_address->text();
}

QSize BridgeChoiceRow::sizeHint() const
{
    return layout()->sizeHint();
}

void BridgeChoiceRow::paintEvent(QPaintEvent *)
{
    if (!underMouse() && !isDown() && !hasFocus())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(rowHighlight.resolve(ui::colorScheme(this)));
    painter.drawRoundedRect(QRectF(rect()), rowCornerRadius, rowCornerRadius);
}

BridgeChoiceSheet::BridgeChoiceSheet(QWidget *parent)
    : QWidget(parent)
    , m_rowColumn(new QVBoxLayout)
    , m_cancel(sheetParts::button(WelcomeScreenTexts::cancel(), this))
{
    m_rowColumn->setContentsMargins(0, 0, 0, 0);
    m_rowColumn->setSpacing(sheetParts::spacing);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(sheetParts::spacing);
    column->addWidget(sheetParts::title(WelcomeScreenTexts::chooseTitle(), this));
    column->addLayout(m_rowColumn);
    column->addWidget(m_cancel, 0, Qt::AlignLeft);
    connect(m_cancel, &QPushButton::clicked, this, [this] { Q_EMIT cancelRequested(); });
}

void BridgeChoiceSheet::setBridges(const std::vector<DiscoveredBridge> &bridges)
{
    while (m_rows.size() > bridges.size()) {
        BridgeChoiceRow *gone = m_rows.back();
        m_rows.pop_back();
        m_rowColumn->removeWidget(gone);
        gone->hide();
        gone->deleteLater();
    }
    for (std::size_t index = 0; index < bridges.size(); ++index) {
        if (index < m_rows.size()) {
            m_rows[index]->setBridge(bridges[index]);
            continue;
        }
        auto *row = new BridgeChoiceRow(bridges[index], this);
        connect(row, &QAbstractButton::clicked, this, [this, row] { Q_EMIT bridgeChosen(row->bridge().address); });
        m_rowColumn->addWidget(row);
        m_rows.push_back(row);
    }
}

QWidget *BridgeChoiceSheet::focusTarget() const
{
    if (!m_rows.empty())
        return m_rows.front();
    return m_cancel;
}

} // namespace vantora
