#pragma once

#include <QWidget>

namespace vantora {

// Holds a lights panel in a window and gives it the panel's background in the colour scheme
// around it (the panel's pages paint over the window colour they inherit), following the
// scheme as it changes.
class PanelHost final : public QWidget {
    Q_OBJECT
public:
    explicit PanelHost(QWidget *parent = nullptr);

protected:
    bool event(QEvent *event) override;

private:
    void applyScheme();
};

} // namespace vantora
