#ifndef CELLORA_GLOBAL_H
#define CELLORA_GLOBAL_H

#include <QtCore/qglobal.h>

// CELLORA_EXPORT marks the module's public interface: the main window only. Everything
// else stays hidden in the shared library; tests and benchmarks link the module's
// objects directly instead.
#if defined(CELLORA_LIBRARY)
#define CELLORA_EXPORT Q_DECL_EXPORT
#else
#define CELLORA_EXPORT Q_DECL_IMPORT
#endif

// CELLORA_PRIVATE_EXPORT marks what the library offers to Cellora's own desktop program
// alone, under the version node CELLORA_PRIVATE: its headers are not installed.
#define CELLORA_PRIVATE_EXPORT CELLORA_EXPORT

#endif // CELLORA_GLOBAL_H
