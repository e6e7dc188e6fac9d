#ifndef CELLORA_GLOBAL_H
#define CELLORA_GLOBAL_H

#include <QtCore/qglobal.h>

// CELLORA_EXPORT marks the module's public interface: the main window only.
#if defined(CELLORA_LIBRARY)
#define CELLORA_EXPORT Q_DECL_EXPORT
#else
#define CELLORA_EXPORT Q_DECL_IMPORT
#endif

// The records and the store are internal to the module. Builds with tests and
// benchmarks export them as well, so that those programs can drive them directly.
#if defined(CELLORA_EXPORT_INTERNALS)
#define CELLORA_AUTOTEST_EXPORT CELLORA_EXPORT
#else
#define CELLORA_AUTOTEST_EXPORT
#endif

#endif // CELLORA_GLOBAL_H
