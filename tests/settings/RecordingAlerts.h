#pragma once

#include "settings/Alert.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

namespace vantora::testing {

// Alerts that nobody sees: each is recorded with where it was asked, until the test answers.
class RecordingAlerts final : public AlertPresenter {
public:
    struct Shown {
        Alert alert;
        QPointer<QWidget> origin;
        std::function<void(AlertAnswer)> answered;
    };

    void present(const Alert &alert, QWidget *origin, std::function<void(AlertAnswer)> answered) override
    {
        shown.push_back({alert, origin, std::move(answered)});
    }

    // Answers the latest alert.
    void answer(AlertAnswer answer) { shown.back().answered(answer); }

    std::vector<Shown> shown;
};

} // namespace vantora::testing
