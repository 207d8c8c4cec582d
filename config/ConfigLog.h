#pragma once

#include <QLoggingCategory>

// Logging category of the INI classes and the configuration readers.
Q_DECLARE_LOGGING_CATEGORY(lcConfig)
