#pragma once

#include <QByteArray>

#include <vector>

namespace vantora {

// Variables for the toolkit that are the application's own choice, not the person's: set
// while QApplication is built (the toolkit reads them then, when it picks its platform and
// connects to the display) and removed again once it is built, so that the programs the
// application opens (the file manager, the mail program, the browser) start with the
// person's environment. A variable the person set is left as it is, then and after.
class ToolkitStartEnvironment final {
public:
    ToolkitStartEnvironment() = default;
    ToolkitStartEnvironment(const ToolkitStartEnvironment &) = delete;
    ToolkitStartEnvironment &operator=(const ToolkitStartEnvironment &) = delete;
    // Removes whatever is still set.
    ~ToolkitStartEnvironment() { toolkitStarted(); }

    // Sets `name` to `value`, unless the environment holds a value for it already.
    void setForStart(const char *name, const QByteArray &value);
    // QApplication is built: takes back what setForStart set.
    void toolkitStarted();

private:
    struct Variable {
        const char *name;
        // Set, but to nothing: it is given back that way.
        bool wasSetEmpty;
    };
    std::vector<Variable> m_set;
};

} // namespace vantora
