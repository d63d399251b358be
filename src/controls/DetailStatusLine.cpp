#include "controls/DetailStatusLine.h"

#include "controls/LightDetailModel.h"
#include "controls/LineLimitedLabel.h"
#include "controls/PlainTextButton.h"

#include "ui/Accessibility.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"

#include <QHBoxLayout>

namespace vantora::controls {

using StatusKind = LightDetailModel::StatusKind;

DetailStatusLine::DetailStatusLine(LightDetailModel &model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_text(new ui::TextLabel(QString(), this))
    , m_message(new LineLimitedLabel(3, this))
    , m_retry(new PlainTextButton(tr("Try again"), this))
{
    m_text->setFont(ui::systemFont(11));
    m_text->setForeground(ui::systemColours::secondary());
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setWordWrap(true);
    m_message->setFont(ui::systemFont(11));
    m_message->setForeground(ui::systemColours::orange());
    m_retry->setFont(ui::systemFont(12, QFont::Medium));
    m_retry->setForeground(ui::systemColours::orange());

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(20, 4, 20, 14);
    row->setSpacing(8);
    row->addWidget(m_text, 1);
    row->addWidget(m_message, 1);
    row->addWidget(m_retry, 0, Qt::AlignVCenter);
    setMinimumHeight(18 + 4 + 14);

    connect(m_retry, &QAbstractButton::clicked, &m_model, [this] {
        if (const auto change = m_model.retryChange())
            m_model.retry(*change);
    });
    connect(&m_model, &LightDetailModel::changed, this, &DetailStatusLine::refresh);
    refresh();
}

void DetailStatusLine::refresh()
{
    const StatusKind kind = m_model.statusKind();
    setVisible(kind != StatusKind::None);
    const bool error = kind == StatusKind::Error;
    m_text->setVisible(!error);
    m_message->setVisible(error);
    m_retry->setVisible(error && m_model.retryChange().has_value());
    m_retry->setEnabled(m_model.retryEnabled());
    if (error) {
        m_message->setText(m_model.statusText());
    } else {
        m_text->setText(m_model.statusText());
        ui::a11y::setCombined(m_text, m_model.statusAccessibleLabel());
    }
}

} // namespace vantora::controls
