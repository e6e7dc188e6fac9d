<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>CsvExport</name>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Cannot create the folder %1</source>
        <translation type="vanished">Der Ordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>The output file name is empty.</source>
        <translation>Der Name der Ausgabedatei ist leer.</translation>
    </message>
    <message>
        <source>%1 is a file of the store itself; choose another output.</source>
        <translation>%1 ist eine Datei des Speichers selbst; bitte eine andere Ausgabe wählen.</translation>
    </message>
</context>
<context>
    <name>FlightEditor</name>
    <message>
        <source>Flights and Cycles</source>
        <translation>Flüge und Zyklen</translation>
    </message>
    <message>
        <source>Model:</source>
        <translation>Modell:</translation>
    </message>
    <message>
        <source>Battery:</source>
        <translation>Akku:</translation>
    </message>
    <message>
        <source>Delete Flight</source>
        <translation>Flug löschen</translation>
    </message>
    <message>
        <source>Mark Not Charged</source>
        <translation>Als nicht geladen markieren</translation>
    </message>
    <message>
        <source>The battery chosen above was not charged after all</source>
        <translation>Der oben gewählte Akku wurde doch nicht geladen</translation>
    </message>
    <message>
        <source>All models</source>
        <translation>Alle Modelle</translation>
    </message>
    <message>
        <source>All batteries</source>
        <translation>Alle Akkus</translation>
    </message>
    <message>
        <source>%1 flights, flight time %2, %3 mAh</source>
        <translation>%1 Flüge, Flugzeit %2, %3 mAh</translation>
    </message>
    <message>
        <source>Delete Flight of %1</source>
        <translation>Flug von %1 löschen</translation>
    </message>
    <message>
        <source>Mark %1 Not Charged</source>
        <translation>%1 als nicht geladen markieren</translation>
    </message>
    <message>
        <source>The data file could not be read to its end: nothing can be changed here. %1</source>
        <translation>Die Datendatei ließ sich nicht bis zum Ende lesen: hier kann nichts geändert werden. %1</translation>
    </message>
</context>
<context>
    <name>FlightTable</name>
    <message>
        <source>Model</source>
        <translation>Modell</translation>
    </message>
    <message>
        <source>Date and time</source>
        <translation>Datum und Uhrzeit</translation>
    </message>
    <message>
        <source>Battery</source>
        <translation>Akku</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Ort</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>Move Discharge of %1</source>
        <translation>Entladung von %1 verschieben</translation>
    </message>
    <message>
        <source>Correct Flight of %1</source>
        <translation>Flug von %1 korrigieren</translation>
    </message>
    <message>
        <source>mAh</source>
        <translation>mAh</translation>
    </message>
    <message>
        <source>Max. A</source>
        <translation>Max. A</translation>
    </message>
    <message>
        <source>°C</source>
        <translation>°C</translation>
    </message>
</context>
<context>
    <name>HomeGuard</name>
    <message>
        <source>Discharge not saved</source>
        <translation>Entladung nicht gespeichert</translation>
    </message>
    <message>
        <source>The discharge of %1 is not saved yet. Quit without saving it?</source>
        <translation>Die Entladung von %1 ist noch nicht gespeichert. Ohne Speichern beenden?</translation>
    </message>
</context>
<context>
    <name>HostWindow</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Open Storage Folder…</source>
        <translation>Speicherordner ö&amp;ffnen…</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>&amp;Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>Export &amp;Flights as CSV…</source>
        <translation>&amp;Flüge als CSV exportieren…</translation>
    </message>
    <message>
        <source>Export Battery &amp;Cycles as CSV…</source>
        <translation>Akku&amp;zyklen als CSV exportieren…</translation>
    </message>
    <message>
        <source>&amp;Pack Report…</source>
        <translation>&amp;Akkubericht…</translation>
    </message>
    <message>
        <source>Restore from Rescue &amp;Copy…</source>
        <translation>Aus &amp;Sicherungskopie wiederherstellen…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About Cellora</source>
        <translation>&amp;Über Cellora</translation>
    </message>
    <message>
        <source>Cellora – %1</source>
        <translation>Cellora – %1</translation>
    </message>
    <message>
        <source>Open Storage Folder</source>
        <translation>Speicherordner öffnen</translation>
    </message>
    <message>
        <source>The storage folder %1 is in use by %2. Close that Cellora first.</source>
        <translation>Der Speicherordner %1 wird von %2 benutzt. Bitte zuerst dieses Cellora schließen.</translation>
    </message>
    <message>
        <source>The storage folder %1 cannot be created or written. The logbook opens for reading, but no change will be saved.</source>
        <translation>Der Speicherordner %1 kann nicht angelegt oder beschrieben werden. Das Logbuch öffnet sich zum Lesen, aber keine Änderung wird gespeichert.</translation>
    </message>
    <message>
        <source>The storage folder %1 holds no data file yet.</source>
        <translation>Der Speicherordner %1 enthält noch keine Datendatei.</translation>
    </message>
    <message>
        <source>The data file %1 cannot be read.</source>
        <translation>Die Datendatei %1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The data file %1 is damaged; nothing was exported.</source>
        <translation>Die Datendatei %1 ist beschädigt; es wurde nichts exportiert.</translation>
    </message>
    <message>
        <source>Export Flights as CSV</source>
        <translation>Flüge als CSV exportieren</translation>
    </message>
    <message>
        <source>Export Battery Cycles as CSV</source>
        <translation>Akkuzyklen als CSV exportieren</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>Saved %1.</source>
        <translation>%1 gespeichert.</translation>
    </message>
    <message>
        <source>Pack Report</source>
        <translation>Akkubericht</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
    <message>
        <source>Restore from Rescue Copy</source>
        <translation>Aus Sicherungskopie wiederherstellen</translation>
    </message>
    <message>
        <source>The storage folder %1 holds no rescue copies.</source>
        <translation>Der Speicherordner %1 enthält keine Sicherungskopien.</translation>
    </message>
    <message>
        <source>%1: %2 batteries, %3 models, %4 flights (%5)</source>
        <translation>%1: %2 Akkus, %3 Modelle, %4 Flüge (%5)</translation>
    </message>
    <message>
        <source>The present store is kept as a rescue copy in turn. Restore:</source>
        <translation>Der jetzige Stand wird seinerseits als Sicherungskopie aufbewahrt. Wiederherstellen:</translation>
    </message>
    <message>
        <source>About Cellora</source>
        <translation>Über Cellora</translation>
    </message>
    <message>
        <source>Cellora %1
Battery logbook for electric radio-controlled models.

Qt %2
Storage folder: %3</source>
        <translation>Cellora %1
Akku-Logbuch für elektrische RC-Modelle.

Qt %2
Speicherordner: %3</translation>
    </message>
    <message>
        <source>&amp;Logbook</source>
        <translation>&amp;Flugbuch</translation>
    </message>
    <message>
        <source>&amp;Flights and Cycles…</source>
        <translation>&amp;Flüge und Zyklen…</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation>&amp;Rückgängig: %1</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation>&amp;Wiederherstellen: %1</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Erneut versuchen</translation>
    </message>
    <message>
        <source>The storage folder %1 cannot be created or written: the logbook opens for reading, but no change will be saved. Make the folder writable for your user, or open another one.</source>
        <translation>Der Speicherordner %1 kann nicht angelegt oder beschrieben werden: Das Logbuch öffnet sich zum Lesen, aber keine Änderung wird gespeichert. Geben Sie Ihrem Benutzer Schreibrechte auf den Ordner oder öffnen Sie einen anderen.</translation>
    </message>
    <message>
        <source>Quit Cellora</source>
        <translation>Cellora beenden</translation>
    </message>
    <message>
        <source>Quit anyway and lose the change?</source>
        <translation>Trotzdem beenden und die Änderung verwerfen?</translation>
    </message>
    <message>
        <source>Import &amp;Telemetry Logs…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: another machine&apos;s version, merged: %2 batteries, %3 models, %4 flights (%5)</source>
        <translation>%1: Fassung eines anderen Rechners, eingearbeitet: %2 Akkus, %3 Modelle, %4 Flüge (%5)</translation>
    </message>
    <message>
        <source>Import Telemetry Logs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The storage folder %1 holds no data file that can be read whole.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import Telemetry</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The logbook could not be written; nothing was changed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1.
Edit, Undo Import Telemetry takes it back.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PackReport</name>
    <message>
        <source>charged for %1 days</source>
        <translation>seit %1 Tagen geladen</translation>
    </message>
    <message>
        <source>over 80 % used</source>
        <translation>über 80 % genutzt</translation>
    </message>
    <message>
        <source>%1 days (%2 years)</source>
        <translation>%1 Tage (%2 Jahre)</translation>
    </message>
    <message>
        <source>never used</source>
        <translation>nie benutzt</translation>
    </message>
    <message>
        <source>Fleet summary</source>
        <translation>Übersicht aller Akkus</translation>
    </message>
    <message>
        <source>Battery</source>
        <translation>Akku</translation>
    </message>
    <message>
        <source>Cycles</source>
        <translation>Zyklen</translation>
    </message>
    <message>
        <source>Equiv. cycles</source>
        <translation>Äquiv. Zyklen</translation>
    </message>
    <message>
        <source>First 10</source>
        <translation>Erste 10</translation>
    </message>
    <message>
        <source>Last 10</source>
        <translation>Letzte 10</translation>
    </message>
    <message>
        <source>Peak C</source>
        <translation>Spitze C</translation>
    </message>
    <message>
        <source>Idle days</source>
        <translation>Tage ungenutzt</translation>
    </message>
    <message>
        <source>Warnings</source>
        <translation>Warnungen</translation>
    </message>
    <message>
        <source>Equivalent cycles: all discharged capacity over the pack&apos;s capacity. First 10 and last 10: the mean share of the capacity used in those discharges. Peak C: the highest current as a multiple of the capacity. Warnings: charged and unused for more than 3 days, or over 80 % of the capacity used in the last 10 discharges.</source>
        <translation>Äquivalente Zyklen: die gesamte entladene Kapazität geteilt durch die Kapazität des Akkus. Erste 10 und letzte 10: der mittlere Anteil der Kapazität, der bei diesen Entladungen genutzt wurde. Spitze C: der höchste Strom als Vielfaches der Kapazität. Warnungen: geladen und mehr als 3 Tage ungenutzt, oder mehr als 80 % der Kapazität in den letzten 10 Entladungen genutzt.</translation>
    </message>
    <message>
        <source>Capacity</source>
        <translation>Kapazität</translation>
    </message>
    <message>
        <source>Rating</source>
        <translation>Belastbarkeit</translation>
    </message>
    <message>
        <source>Age</source>
        <translation>Alter</translation>
    </message>
    <message>
        <source>Equivalent full cycles</source>
        <translation>Äquivalente Vollzyklen</translation>
    </message>
    <message>
        <source>Capacity used, first 10 discharges</source>
        <translation>Genutzte Kapazität, erste 10 Entladungen</translation>
    </message>
    <message>
        <source>Capacity used, last 10 discharges</source>
        <translation>Genutzte Kapazität, letzte 10 Entladungen</translation>
    </message>
    <message>
        <source>Highest current</source>
        <translation>Höchster Strom</translation>
    </message>
    <message>
        <source>Days since last use</source>
        <translation>Tage seit letzter Nutzung</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>charged</source>
        <translation>geladen</translation>
    </message>
    <message>
        <source>empty</source>
        <translation>leer</translation>
    </message>
    <message>
        <source>Share of the capacity used in each discharge:</source>
        <translation>Anteil der genutzten Kapazität je Entladung:</translation>
    </message>
    <message>
        <source>Discharge</source>
        <translation>Entladung</translation>
    </message>
    <message>
        <source>% of capacity</source>
        <translation>% der Kapazität</translation>
    </message>
    <message>
        <source>Cellora pack report</source>
        <translation>Cellora-Akkubericht</translation>
    </message>
    <message>
        <source>Storage folder %1, %2</source>
        <translation>Speicherordner %1, %2</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation type="vanished">%1 kann nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>ProgramRuns</name>
    <message>
        <source>If no Cellora runs there any more, delete the lock file %1.</source>
        <translation>Falls dort kein Cellora mehr läuft, löschen Sie die Sperrdatei %1.</translation>
    </message>
</context>
<context>
    <name>StoreChange</name>
    <message>
        <source>Add Battery %1</source>
        <translation>Akku %1 hinzufügen</translation>
    </message>
    <message>
        <source>Delete Battery %1</source>
        <translation>Akku %1 löschen</translation>
    </message>
    <message>
        <source>Add Model %1</source>
        <translation>Modell %1 hinzufügen</translation>
    </message>
    <message>
        <source>Delete Model %1</source>
        <translation>Modell %1 löschen</translation>
    </message>
    <message>
        <source>Add Location %1</source>
        <translation>Ort %1 hinzufügen</translation>
    </message>
    <message>
        <source>Delete Location %1</source>
        <translation>Ort %1 löschen</translation>
    </message>
    <message>
        <source>Discharge of %1</source>
        <translation>Entladen von %1</translation>
    </message>
    <message>
        <source>Charge of %1</source>
        <translation>Laden von %1</translation>
    </message>
    <message>
        <source>Modify Battery %1</source>
        <translation>Akku %1 ändern</translation>
    </message>
    <message>
        <source>Assign %1 to %2</source>
        <translation>%1 zu %2 zuordnen</translation>
    </message>
    <message>
        <source>Remove %1 from %2</source>
        <translation>%1 von %2 entfernen</translation>
    </message>
    <message>
        <source>Flight of %1</source>
        <translation>Flug mit %1</translation>
    </message>
    <message>
        <source>Modify Model %1</source>
        <translation>Modell %1 ändern</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Änderung</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Import</translation>
    </message>
</context>
<context>
    <name>SyncBar</name>
    <message>
        <source>Dismiss</source>
        <translation>Ausblenden</translation>
    </message>
</context>
<context>
    <name>SyncWatch</name>
    <message>
        <source>Another Cellora has opened this storage folder too: %1. What both save meets only through the sync engine; close one of them.</source>
        <translation>Ein anderes Cellora hat diesen Speicherordner ebenfalls geöffnet: %1. Was beide speichern, trifft sich nur über die Synchronisierung; schließen Sie eines davon.</translation>
    </message>
    <message>
        <source>%1 cannot be merged: %2 cannot be read whole. It is kept as it is; look at both, then Restore the one to keep.</source>
        <translation>%1 kann nicht eingearbeitet werden: %2 lässt sich nicht vollständig lesen. Die Datei bleibt, wie sie ist; sehen Sie sich beide an und stellen Sie die gewünschte wieder her.</translation>
    </message>
    <message>
        <source>Merge</source>
        <translation>Zusammenführung</translation>
    </message>
    <message>
        <source>The changes of another machine could not be merged: the data file cannot be written. They wait in %1.</source>
        <translation>Die Änderungen eines anderen Rechners konnten nicht eingearbeitet werden: Die Datendatei lässt sich nicht schreiben. Sie warten in %1.</translation>
    </message>
    <message>
        <source>Merged without an earlier version both machines had: records deleted on one machine may have come back.</source>
        <translation>Ohne eine frühere Fassung beider Rechner zusammengeführt: Auf einem Rechner gelöschte Einträge können wieder da sein.</translation>
    </message>
    <message>
        <source>capacity</source>
        <translation>Kapazität</translation>
    </message>
    <message>
        <source>charge rate</source>
        <translation>Laderate</translation>
    </message>
    <message>
        <source>discharge rating</source>
        <translation>Entladerate</translation>
    </message>
    <message>
        <source>purchase date</source>
        <translation>Kaufdatum</translation>
    </message>
    <message>
        <source>cycles</source>
        <translation>Zyklen</translation>
    </message>
    <message>
        <source>charged</source>
        <translation>geladen</translation>
    </message>
    <message>
        <source>type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>weight</source>
        <translation>Gewicht</translation>
    </message>
    <message>
        <source>size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>flights</source>
        <translation>Flüge</translation>
    </message>
    <message>
        <source>notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>last update</source>
        <translation>letzte Änderung</translation>
    </message>
    <message>
        <source>discharged mAh</source>
        <translation>entladene mAh</translation>
    </message>
    <message>
        <source>maximum current</source>
        <translation>Maximalstrom</translation>
    </message>
    <message>
        <source>duration</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>location</source>
        <translation>Ort</translation>
    </message>
    <message>
        <source>temperature</source>
        <translation>Temperatur</translation>
    </message>
    <message>
        <source>not charged</source>
        <translation>nicht geladen</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>Location “%1”</source>
        <translation>Ort „%1“</translation>
    </message>
    <message>
        <source>Battery “%1”</source>
        <translation>Akku „%1“</translation>
    </message>
    <message>
        <source>Model “%1”</source>
        <translation>Modell „%1“</translation>
    </message>
    <message>
        <source>Discharge of “%1” at %2</source>
        <translation>Entladung von „%1“ am %2</translation>
    </message>
    <message>
        <source>Flight of “%1” at %2</source>
        <translation>Flug von „%1“ am %2</translation>
    </message>
    <message>
        <source>The flight at %1</source>
        <translation>Der Flug am %1</translation>
    </message>
    <message>
        <source>%1, %2: %3 on this machine, %4 on the other</source>
        <translation>%1, %2: %3 auf diesem Rechner, %4 auf dem anderen</translation>
    </message>
    <message>
        <source>%1: deleted on this machine, changed on the other</source>
        <translation>%1: auf diesem Rechner gelöscht, auf dem anderen geändert</translation>
    </message>
    <message>
        <source>%1: changed on this machine, deleted on the other</source>
        <translation>%1: auf diesem Rechner geändert, auf dem anderen gelöscht</translation>
    </message>
    <message>
        <source>%1: named “%2” on this machine, “%3” on the other</source>
        <translation>%1: auf diesem Rechner „%2“ genannt, auf dem anderen „%3“</translation>
    </message>
    <message>
        <source>%1: flown with %2 on this machine, with %3 on the other</source>
        <translation>%1: auf diesem Rechner mit %2 geflogen, auf dem anderen mit %3</translation>
    </message>
    <message>
        <source> (the other machine&apos;s is kept)</source>
        <translation> (der Wert des anderen Rechners gilt)</translation>
    </message>
    <message>
        <source> (this machine&apos;s is kept)</source>
        <translation> (der Wert dieses Rechners gilt)</translation>
    </message>
    <message>
        <source>Take Other Value</source>
        <translation>Übernahme des anderen Werts</translation>
    </message>
    <message>
        <source>Keep This Machine&apos;s Value</source>
        <translation>Beibehaltung des eigenen Werts</translation>
    </message>
    <message>
        <source>Merged what another machine changed at the same time (its file is kept among the rescue copies). Where both changed the same, this machine&apos;s is kept:</source>
        <translation>Eingearbeitet, was ein anderer Rechner zur gleichen Zeit geändert hat (seine Datei liegt bei den Sicherungskopien). Wo beide dasselbe geändert haben, gilt der Wert dieses Rechners:</translation>
    </message>
    <message>
        <source>Keep %1</source>
        <translation>%1 behalten</translation>
    </message>
    <message>
        <source>Take %1</source>
        <translation>%1 übernehmen</translation>
    </message>
    <message>
        <source>Delete It</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Restore It</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Keep “%1”</source>
        <translation>„%1“ behalten</translation>
    </message>
    <message>
        <source>Take “%1”</source>
        <translation>„%1“ übernehmen</translation>
    </message>
</context>
<context>
    <name>TelemetryDialog</name>
    <message>
        <source>Import Telemetry Logs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the radio&apos;s telemetry logs: CSV files, or the LOGS folder of its SD card. Nothing changes until you apply.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add &amp;Files…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add F&amp;older…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Model</source>
        <translation type="unfinished">Modell</translation>
    </message>
    <message>
        <source>Current</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Capacity</source>
        <translation type="unfinished">Kapazität</translation>
    </message>
    <message>
        <source>Voltage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Flights</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duration</source>
        <translation type="unfinished">Dauer</translation>
    </message>
    <message>
        <source>Used</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Max. current</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Min. voltage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Battery</source>
        <translation type="unfinished">Akku</translation>
    </message>
    <message>
        <source>Result</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Telemetry Logs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Telemetry logs (*.csv *.CSV)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LOGS Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n flight(s); choose the current and capacity columns</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n flight(s)</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>(not in the logbook: %1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(none)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 mAh</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 A</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 V</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fills the Quick entry of %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The entry of %1 has figures: tick to overwrite</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Adds a flight once a battery is chosen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Adds a flight and discharge</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No model in the logbook: choose one above</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No current or capacity logged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(choose a battery)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No logs chosen yet.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TelemetryImport</name>
    <message>
        <source>%1 flights: %2 Quick entries filled, %3 entries overwritten, %4 flights added, %5 already recorded, %6 left out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the storage folder %1 is in use by %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no data file cellora.xml that can be read whole in the storage folder %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no telemetry logs in %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the data file in %1 could not be written</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
