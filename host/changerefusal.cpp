#include "host/changerefusal.h"

#include <QCoreApplication>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(ChangeRefusal)
};

QString shownMoment(const QDateTime &moment)
{
    return moment.isValid() ? moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                            : Texts::tr("no date");
}

} // namespace

QString ChangeRefusal::describe(const RecordRules::RuleBreak &refused)
{
    using RecordRules::Refusal;
    const QString moment = shownMoment(refused.moment);
    switch (refused.refusal) {
    case Refusal::None:
        break;
    case Refusal::FileChanged:
        return Texts::tr("The data file was changed since it was read; nothing was written. "
                         "It is shown again as it is now.");
    case Refusal::DateOutOfRange:
        return Texts::tr("%1 of %2 is no date between %3 and %4, as the discharge page takes "
                         "them; nothing was written.")
            .arg(moment, refused.record, RecordRules::earliestDate.toString(Qt::ISODate),
                RecordRules::latestDate.toString(Qt::ISODate));
    case Refusal::MomentTaken:
        return Texts::tr("%1 is taken by another flight or discharge: a moment holds one flight "
                         "and its discharge, or the logbook would pair them wrongly. Nothing was "
                         "written.")
            .arg(moment);
    case Refusal::DischargedOverLimit:
        return Texts::tr("A discharge of %1 at %2 would hold more than %3 mAh, or no number; "
                         "nothing was written.")
            .arg(refused.record, moment)
            .arg(RecordRules::maxDischargedMah);
    case Refusal::CurrentOverLimit:
        return Texts::tr("A discharge of %1 at %2 would have a highest current above %3 A, or "
                         "no number; nothing was written.")
            .arg(refused.record, moment)
            .arg(RecordRules::maxCurrentAmperes);
    case Refusal::TemperatureOutOfRange:
        return Texts::tr("A flight of %1 at %2 would have a temperature outside %3 to %4 °C; "
                         "nothing was written.")
            .arg(refused.record, moment)
            .arg(RecordRules::minTemperature)
            .arg(RecordRules::maxTemperature);
    case Refusal::NoSuchRecord:
        return Texts::tr("The logbook holds no battery or model named %1; nothing was written.")
            .arg(refused.record);
    }
    return QString();
}
