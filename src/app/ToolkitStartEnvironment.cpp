#include "app/ToolkitStartEnvironment.h"

#include <QtGlobal>

namespace vantora {

void ToolkitStartEnvironment::setForStart(const char *name, const QByteArray &value)
{
    if (!qEnvironmentVariableIsEmpty(name))
        return;
    m_set.push_back({name, qEnvironmentVariableIsSet(name)});
    qputenv(name, value);
}

void ToolkitStartEnvironment::toolkitStarted()
{
    for (const auto &[name, wasSetEmpty] : m_set) {
        if (wasSetEmpty)
            qputenv(name, QByteArray());
        else
            qunsetenv(name);
    }
    m_set.clear();
}

} // namespace vantora
