<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>BatteryWidget</name>
    <message>
        <source>BatteryWidget</source>
        <translation>BatteryWidget</translation>
    </message>
    <message>
        <source>Last use:</source>
        <translation>Zuletzt:</translation>
    </message>
    <message>
        <source>Cycles:</source>
        <translation>Zyklen:</translation>
    </message>
    <message>
        <source>Discharged:</source>
        <translation>Entladen:</translation>
    </message>
    <message>
        <source>Max. Current:</source>
        <translation>Max. Strom:</translation>
    </message>
    <message>
        <source>Record a discharge</source>
        <translation>Entladung erfassen</translation>
    </message>
    <message>
        <source>Mark as charged</source>
        <translation>Als geladen markieren</translation>
    </message>
    <message>
        <source>%1: record a discharge</source>
        <translation>%1: Entladung erfassen</translation>
    </message>
    <message>
        <source>%1: mark as charged</source>
        <translation>%1: als geladen markieren</translation>
    </message>
</context>
<context>
    <name>CelloraGui</name>
    <message>
        <source>Welcome</source>
        <translation>Willkommen</translation>
    </message>
    <message>
        <source>Please go to Options and add new model and battery!</source>
        <translation>Bitte unter Optionen ein neues Modell und einen Akku anlegen!</translation>
    </message>
    <message>
        <source>Battery data</source>
        <translation>Akkudaten</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Modell</translation>
    </message>
    <message>
        <source>Battery</source>
        <translation>Akku</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Ort</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>Logbook</source>
        <translation>Flugbuch</translation>
    </message>
    <message>
        <source>Chart</source>
        <translation>Diagramm</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Modus</translation>
    </message>
    <message>
        <source>Backup</source>
        <translation>Sicherung</translation>
    </message>
    <message>
        <source>Data capture</source>
        <translation>Datenerfassung</translation>
    </message>
    <message>
        <source>Quick</source>
        <translation>Schnell</translation>
    </message>
    <message>
        <source>Full</source>
        <translation>Vollständig</translation>
    </message>
    <message>
        <source>In Quick mode you will not be asked to enter any data when battery was discharged!</source>
        <translation>Im Schnellmodus werden beim Entladen eines Akkus keine Daten abgefragt!</translation>
    </message>
    <message>
        <source>Data backup</source>
        <translation>Datensicherung</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <source>Add location</source>
        <translation>Ort hinzufügen</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Add battery</source>
        <translation>Akku hinzufügen</translation>
    </message>
    <message>
        <source>Capacity (mAh)</source>
        <translation>Kapazität (mAh)</translation>
    </message>
    <message>
        <source>00000</source>
        <translation>00000</translation>
    </message>
    <message>
        <source>Discharge rate (C)</source>
        <translation>Entladerate (C)</translation>
    </message>
    <message>
        <source>Charge  rate (C)</source>
        <translation>Laderate (C)</translation>
    </message>
    <message>
        <source>000</source>
        <translation>000</translation>
    </message>
    <message>
        <source>0.0</source>
        <translation>0.0</translation>
    </message>
    <message>
        <source>Cycles already used</source>
        <translation>Bisherige Zyklen</translation>
    </message>
    <message>
        <source>Date of purchase (Y/M/D)</source>
        <translation>Kaufdatum (J/M/T)</translation>
    </message>
    <message>
        <source>0000</source>
        <translation>0000</translation>
    </message>
    <message>
        <source>Add model</source>
        <translation>Modell hinzufügen</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Weight</source>
        <translation>Gewicht</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Flights already used</source>
        <translation>Bisherige Flüge</translation>
    </message>
    <message>
        <source>Additional notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>Delete battery</source>
        <translation>Akku löschen</translation>
    </message>
    <message>
        <source>Really?</source>
        <translation>Wirklich?</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Delete model</source>
        <translation>Modell löschen</translation>
    </message>
    <message>
        <source>Delete location</source>
        <translation>Ort löschen</translation>
    </message>
    <message>
        <source>Log book</source>
        <translation>Flugbuch</translation>
    </message>
    <message>
        <source>&lt;</source>
        <translation>&lt;</translation>
    </message>
    <message>
        <source>&gt;</source>
        <translation>&gt;</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Flugdauer</translation>
    </message>
    <message>
        <source>Ambient temp</source>
        <translation>Außentemp.</translation>
    </message>
    <message>
        <source>Maximum current (A)</source>
        <translation>Max. Strom (A)</translation>
    </message>
    <message>
        <source>Battery discharged</source>
        <translation>Akku entladen</translation>
    </message>
    <message>
        <source>Flight log</source>
        <translation>Flugprotokoll</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Modify model</source>
        <translation>Modell ändern</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Modify battery</source>
        <translation>Akku ändern</translation>
    </message>
    <message>
        <source>Vantrix %1.%2.%3</source>
        <translation>Vantrix %1.%2.%3</translation>
    </message>
    <message>
        <source>Error! Could not create file.</source>
        <translation>Fehler! Datei konnte nicht angelegt werden.</translation>
    </message>
    <message>
        <source>Export finished!</source>
        <translation>Export abgeschlossen!</translation>
    </message>
    <message>
        <source>Error! Could not access file.</source>
        <translation>Fehler! Kein Zugriff auf die Datei.</translation>
    </message>
    <message>
        <source>Import finished!</source>
        <translation>Import abgeschlossen!</translation>
    </message>
    <message>
        <source>Error! Not a valid file.</source>
        <translation>Fehler! Keine gültige Datei.</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>Battery age: %1 years</source>
        <translation>Akkualter: %1 Jahre</translation>
    </message>
    <message>
        <source>Batteries</source>
        <translation>Akkus</translation>
    </message>
    <message>
        <source>Previous flight</source>
        <translation>Vorheriger Flug</translation>
    </message>
    <message>
        <source>Next flight</source>
        <translation>Nächster Flug</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Menü</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Startseite</translation>
    </message>
    <message>
        <source>%1 in %2</source>
        <translation>%1 in %2</translation>
    </message>
    <message>
        <source>Your last change is not saved: the storage folder %1 cannot be written. Make it writable for your user, then retry.</source>
        <translation>Ihre letzte Änderung ist nicht gespeichert: In den Speicherordner %1 kann nicht geschrieben werden. Geben Sie Ihrem Benutzer Schreibrechte darauf und versuchen Sie es dann erneut.</translation>
    </message>
    <message>
        <source>Your last change is not saved: the data file %1 is read-only or belongs to another user. Give your user write permission on it, then retry.</source>
        <translation>Ihre letzte Änderung ist nicht gespeichert: Die Datendatei %1 ist schreibgeschützt oder gehört einem anderen Benutzer. Geben Sie Ihrem Benutzer Schreibrechte darauf und versuchen Sie es dann erneut.</translation>
    </message>
    <message>
        <source>Your last change is not saved: %1 is not a file (a folder or a device has its name). Move it away, then retry.</source>
        <translation>Ihre letzte Änderung ist nicht gespeichert: %1 ist keine Datei (ein Ordner oder ein Gerät trägt diesen Namen). Verschieben Sie es und versuchen Sie es dann erneut.</translation>
    </message>
    <message>
        <source>Your last change is not saved: the data file %1 cannot be read whole (it is too large or unreadable), so it is left as it is. Move it away or make it readable, then retry.</source>
        <translation type="vanished">Ihre letzte Änderung ist nicht gespeichert: Die Datendatei %1 lässt sich nicht vollständig lesen (sie ist zu groß oder unlesbar) und bleibt daher unverändert. Verschieben Sie sie oder machen Sie sie lesbar und versuchen Sie es dann erneut.</translation>
    </message>
    <message>
        <source>Your last change is not saved: the data file %1 holds content that must be kept as a rescue copy first, and the copy could not be written (is the disk full?). Free some space, then retry.</source>
        <translation type="vanished">Ihre letzte Änderung ist nicht gespeichert: Die Datendatei %1 enthält Inhalte, die zuerst als Sicherungskopie aufbewahrt werden müssen, und diese Kopie ließ sich nicht schreiben (ist der Datenträger voll?). Geben Sie Speicherplatz frei und versuchen Sie es dann erneut.</translation>
    </message>
    <message>
        <source>Your last change is not saved: the data file %1 could not be written (is the disk full?); it still holds its previous content. Free some space, then retry.</source>
        <translation type="vanished">Ihre letzte Änderung ist nicht gespeichert: Die Datendatei %1 ließ sich nicht schreiben (ist der Datenträger voll?); sie enthält weiterhin ihren bisherigen Inhalt. Geben Sie Speicherplatz frei und versuchen Sie es dann erneut.</translation>
    </message>
    <message>
        <source>The import did not happen: the present data file %1 could not be kept as a rescue copy first (is the disk full, or is the file too large?). Your data is unchanged. Free some space, then import again.</source>
        <translation type="vanished">Der Import wurde nicht ausgeführt: Die jetzige Datendatei %1 ließ sich nicht zuerst als Sicherungskopie aufbewahren (ist der Datenträger voll oder die Datei zu groß?). Ihre Daten sind unverändert. Geben Sie Speicherplatz frei und importieren Sie dann erneut.</translation>
    </message>
    <message>
        <source>the disk is full</source>
        <translation>der Datenträger ist voll</translation>
    </message>
    <message>
        <source>larger than this program may write</source>
        <translation>größer, als dieses Programm schreiben darf</translation>
    </message>
    <message>
        <source>read-only, or another user&apos;s</source>
        <translation>schreibgeschützt oder im Besitz eines anderen Benutzers</translation>
    </message>
    <message>
        <source>Free some space, then import again.</source>
        <translation>Geben Sie Speicherplatz frei und importieren Sie dann erneut.</translation>
    </message>
    <message>
        <source>Free some space, then retry.</source>
        <translation>Geben Sie Speicherplatz frei und versuchen Sie es dann erneut.</translation>
    </message>
    <message>
        <source>Give your user write permission there, then import again.</source>
        <translation>Geben Sie Ihrem Benutzer dort Schreibrechte und importieren Sie dann erneut.</translation>
    </message>
    <message>
        <source>Give your user write permission there, then retry.</source>
        <translation>Geben Sie Ihrem Benutzer dort Schreibrechte und versuchen Sie es dann erneut.</translation>
    </message>
    <message>
        <source>Import again once that is put right.</source>
        <translation>Importieren Sie erneut, sobald das behoben ist.</translation>
    </message>
    <message>
        <source>Retry once that is put right.</source>
        <translation>Versuchen Sie es erneut, sobald das behoben ist.</translation>
    </message>
    <message>
        <source>neither in %1 nor in %2</source>
        <translation>weder in %1 noch in %2</translation>
    </message>
    <message>
        <source>Nothing is saved into the data file %1: it cannot be read whole (it is too large or unreadable), so it is left as it is. Move it away or make it readable, then retry.</source>
        <translation>In die Datendatei %1 wird nichts gespeichert: Sie lässt sich nicht vollständig lesen (sie ist zu groß oder unlesbar) und bleibt daher unverändert. Verschieben Sie sie oder machen Sie sie lesbar und versuchen Sie es dann erneut.</translation>
    </message>
    <message>
        <source>Your last change is not saved: the data file %1 holds content that must be kept as a rescue copy first, and no copy could be written, %2%3. %4</source>
        <translation>Ihre letzte Änderung ist nicht gespeichert: Die Datendatei %1 enthält Inhalte, die zuerst als Sicherungskopie aufbewahrt werden müssen, und keine Kopie ließ sich schreiben, %2%3. %4</translation>
    </message>
    <message>
        <source>Your last change is not saved: the data file %1 could not be written%2; it still holds its previous content. %3</source>
        <translation>Ihre letzte Änderung ist nicht gespeichert: Die Datendatei %1 ließ sich nicht schreiben%2; sie enthält weiterhin ihren bisherigen Inhalt. %3</translation>
    </message>
    <message>
        <source>The import did not happen: the present data file %1 could not be kept as a rescue copy first, %2%3. Your data is unchanged. %4</source>
        <translation>Der Import wurde nicht ausgeführt: Die jetzige Datendatei %1 ließ sich nicht zuerst als Sicherungskopie aufbewahren, %2%3. Ihre Daten sind unverändert. %4</translation>
    </message>
    <message>
        <source>The import did not happen: the data file %1 could not be written%2; it still holds its previous content. %3</source>
        <translation>Der Import wurde nicht ausgeführt: Die Datendatei %1 ließ sich nicht schreiben%2; sie enthält weiterhin ihren bisherigen Inhalt. %3</translation>
    </message>
    <message>
        <source>The data file %1 could not be read to its end: it is cut short or damaged. The logbook shows what was read before the fault (batteries: %2, models: %3, flights: %4). Before any change is saved, the whole file is kept as a rescue copy.</source>
        <translation>Die Datendatei %1 ließ sich nicht bis zum Ende lesen: Sie ist abgeschnitten oder beschädigt. Das Logbuch zeigt, was vor dem Fehler gelesen wurde (Akkus: %2, Modelle: %3, Flüge: %4). Bevor eine Änderung gespeichert wird, wird die ganze Datei als Sicherungskopie aufbewahrt.</translation>
    </message>
</context>
</TS>
