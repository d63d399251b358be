#include "settings/ErrorReportSheet.h"

#include "settings/ApplicationInfo.h"
#include "settings/ErrorReport.h"

#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/DynamicColor.h"
#include "ui/EnvironmentKeys.h"
#include "ui/PanelButton.h"
#include "ui/PanelScrollBar.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantora {

namespace {

const ui::DynamicColor reportBoxFill{ui::colours::black(0.06), ui::colours::white(0.07)};

constexpr int reportBoxHeight = 200;
constexpr qreal reportBoxRadius = 8;

// The report in a read-only text box on a soft rounded ground, selected and walked by mouse
// or keys.
class ReportBox final : public QWidget {
public:
    ReportBox(const QString &report, QWidget *parent)
        : QWidget(parent)
        , m_text(new QPlainTextEdit(this))
    {
        setFixedHeight(reportBoxHeight);
        m_text->setReadOnly(true);
        // A caret the keys move, so that a reader walks the report line by line.
        m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        m_text->setAccessibleName(ErrorReportSheet::tr("Error report"));
        m_text->setPlainText(report);
        m_text->setFont(ui::systemFont(12));
        m_text->setFrameShape(QFrame::NoFrame);
        m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        m_text->document()->setDocumentMargin(12);
        // Only the ground is set here: the text keeps the colour the sheet's scheme gives.
        QPalette ground = m_text->palette();
        ground.setColor(QPalette::Base, Qt::transparent);
        m_text->setPalette(ground);
        ui::usePanelScrollBar(*m_text);
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_text);
    }

    QPlainTextEdit *text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(reportBoxFill.resolve(ui::colorScheme(this)));
        painter.drawRoundedRect(QRectF(rect()), reportBoxRadius, reportBoxRadius);
    }

private:
    QPlainTextEdit *m_text;
};

QPushButton *sheetButton(const QString &text, QWidget *parent)
{
    return new ui::PanelButton(text, parent);
}

} // namespace

ReportHandOver ReportHandOver::desktop()
{
    return {
        [](QWidget *parent) -> std::optional<QString> {
            // On the heap: the parent may go while the dialog runs (the issue cleared by a
            // refresh), and it takes the dialog with it.
            QPointer<QFileDialog> dialog = new QFileDialog(parent);
            dialog->setAcceptMode(QFileDialog::AcceptSave);
            dialog->setNameFilter(ErrorReportSheet::tr("Text files (*.txt)"));
            // A name typed without its ending still makes a text file.
            dialog->setDefaultSuffix(QStringLiteral("txt"));
            dialog->selectFile(errorReport::proposedFileName());
            const bool accepted = dialog->exec() == QDialog::Accepted;
            if (!dialog)
                return std::nullopt;
            const QStringList chosen = dialog->selectedFiles();
            delete dialog;
            if (!accepted || chosen.isEmpty())
                return std::nullopt;
            return chosen.constFirst();
        },
        desktopUrlOpener(),
    };
}

ErrorReportSheet::ErrorReportSheet(AppIssue issue, const ApplicationInfo &info, ReportHandOver handOver,
                                   QWidget *parent)
    : QWidget(parent)
    , m_issue(std::move(issue))
    , m_info(info)
    , m_handOver(std::move(handOver))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(16);

    // Read as a dialog by its title: a reader names it as the focus enters it.
    setAccessibleName(tr("Review error report"));
    ui::a11y::setRole(this, QAccessible::Dialog);
    auto *title = new ui::TextLabel(tr("Review error report"), this);
    title->setFont(ui::systemFont(20, QFont::DemiBold));
    ui::a11y::setHeading(title);
    layout->addWidget(title);

    const bool canMail = m_info.supportEmail().has_value();
    auto *subtitle = new ui::TextLabel(canMail ? tr("Review these details, then open an email to support.")
                                               : tr("Copy or save this report to share with support."),
                                       this);
    subtitle->setFont(ui::systemFont(13));
    subtitle->setForeground(ui::systemColours::secondary());
    subtitle->setWordWrap(true);
    layout->addWidget(subtitle);

    layout->addWidget(new ReportBox(errorReport::displayText(reportText()), this));

    auto *feedback = new ui::TextLabel({}, this);
    feedback->setFont(ui::systemFont(12));
    feedback->setForeground(ui::systemColours::secondary());
    feedback->setWordWrap(true);
    feedback->hide();
    m_feedback = feedback;
    layout->addWidget(m_feedback);

    auto *buttons = new QHBoxLayout;
    auto *copy = sheetButton(tr("Copy report"), this);
    connect(copy, &QPushButton::clicked, this, &ErrorReportSheet::copyReport);
    buttons->addWidget(copy);
    auto *save = sheetButton(tr("Save…"), this);
    connect(save, &QPushButton::clicked, this, &ErrorReportSheet::saveReport);
    buttons->addWidget(save);
    if (canMail) {
        auto *mail = sheetButton(tr("Open email"), this);
        connect(mail, &QPushButton::clicked, this, &ErrorReportSheet::openEmail);
        buttons->addWidget(mail);
    }
    buttons->addStretch();
    auto *doneButton = sheetButton(tr("Done"), this);
    doneButton->setDefault(true);
    connect(doneButton, &QPushButton::clicked, this, &ErrorReportSheet::done);
    buttons->addWidget(doneButton);
    m_done = doneButton;
    layout->addLayout(buttons);
}

QString ErrorReportSheet::reportText() const
{
    return errorReport::text(m_issue, m_info);
}

std::optional<QString> ErrorReportSheet::feedback() const
{
    if (m_feedback->isHidden())
        return std::nullopt;
    return m_feedback->text();
}

void ErrorReportSheet::copyReport()
{
    QGuiApplication::clipboard()->setText(reportText());
    setFeedback(tr("Report copied."));
}

void ErrorReportSheet::saveReport()
{
    // The sheet may close while the user chooses (its issue cleared elsewhere).
    const QPointer<ErrorReportSheet> self(this);
    const auto chooseSaveLocation = m_handOver.chooseSaveLocation;
    const std::optional<QString> path = chooseSaveLocation(this);
    if (!self || !path)
        return;
    setFeedback(errorReport::save(*path, reportText())
                    ? tr("Report saved.")
                    : tr("Couldn’t save the report. Try another location or copy it instead."));
}

void ErrorReportSheet::openEmail()
{
    const std::optional<QUrl> url = m_info.supportEmail() ? errorReport::mailURL(*m_info.supportEmail(), reportText())
                                                          : std::nullopt;
    if (url && m_handOver.openURL(*url))
        setFeedback(tr("Review and send the email in your mail app."));
    else
        setFeedback(tr("Couldn’t open a mail app. Copy or save the report instead."));
}

void ErrorReportSheet::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        Q_EMIT done();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ErrorReportSheet::setFeedback(const QString &text)
{
    m_feedback->setText(text);
    m_feedback->show();
    // The line shows under the report, away from the button the keys are on.
    ui::a11y::tellOutcome(text);
}

} // namespace vantora
