#ifndef CELLORA_QT_H
#define CELLORA_QT_H

// The few names that differ between Qt 5 and Qt 6, in one place, so that the module's code
// reads the same under both toolkits.

#include <QString>
#include <QtGlobal>

#if QT_VERSION_MAJOR < 6
#include <QStringRef>
#else
#include <QStringView>
#endif

// What QXmlStreamReader hands out for names and attribute values: a view into its buffer.
#if QT_VERSION_MAJOR < 6
using XmlStringRef = QStringRef;
inline XmlStringRef xmlStringRef(const QString &text)
{
    return QStringRef(&text);
}
#else
using XmlStringRef = QStringView;
inline XmlStringRef xmlStringRef(const QString &text)
{
    return QStringView(text);
}
#endif

#endif // CELLORA_QT_H
