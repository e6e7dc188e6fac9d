<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ChangeRefusal</name>
    <message>
        <source>no date</source>
        <translation>kein Datum</translation>
    </message>
    <message>
        <source>The data file was changed since it was read; nothing was written. It is shown again as it is now.</source>
        <translation>Die Datendatei wurde seit dem Lesen geändert; nichts wurde geschrieben. Sie wird jetzt so angezeigt, wie sie ist.</translation>
    </message>
    <message>
        <source>%1 of %2 is no date between %3 and %4, as the discharge page takes them; nothing was written.</source>
        <translation>%1 von %2 ist kein Datum zwischen %3 und %4, wie es die Entladeseite annimmt; nichts wurde geschrieben.</translation>
    </message>
    <message>
        <source>%1 is taken by another flight or discharge: a moment holds one flight and its discharge, or the logbook would pair them wrongly. Nothing was written.</source>
        <translation>%1 ist schon durch einen anderen Flug oder eine andere Entladung belegt: Ein Zeitpunkt trägt nur einen Flug und seine Entladung, sonst ordnet das Flugbuch sie falsch zu. Nichts wurde geschrieben.</translation>
    </message>
    <message>
        <source>A discharge of %1 at %2 would hold more than %3 mAh, or no number; nothing was written.</source>
        <translation>Eine Entladung von %1 um %2 hätte mehr als %3 mAh oder keine Zahl; nichts wurde geschrieben.</translation>
    </message>
    <message>
        <source>A discharge of %1 at %2 would have a highest current above %3 A, or no number; nothing was written.</source>
        <translation>Eine Entladung von %1 um %2 hätte einen Höchststrom über %3 A oder keine Zahl; nichts wurde geschrieben.</translation>
    </message>
    <message>
        <source>A flight of %1 at %2 would have a temperature outside %3 to %4 °C; nothing was written.</source>
        <translation>Ein Flug von %1 um %2 hätte eine Temperatur außerhalb von %3 bis %4 °C; nichts wurde geschrieben.</translation>
    </message>
    <message>
        <source>The logbook holds no battery or model named %1; nothing was written.</source>
        <translation>Das Flugbuch enthält keinen Akku und kein Modell namens %1; nichts wurde geschrieben.</translation>
    </message>
</context>
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
    <name>FleetTable</name>
    <message>
        <source>Battery</source>
        <translation>Akku</translation>
    </message>
    <message>
        <source>Models</source>
        <translation>Modelle</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>Days charged</source>
        <translation>Tage geladen</translation>
    </message>
    <message>
        <source>Cycles</source>
        <translation>Zyklen</translation>
    </message>
    <message>
        <source>mΩ now</source>
        <translation>mΩ jetzt</translation>
    </message>
    <message>
        <source>Verdict</source>
        <translation>Befund</translation>
    </message>
    <message>
        <source>Why</source>
        <translation>Warum</translation>
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
        <source>%1 – storage charge</source>
        <translation>%1 – auf Lagerspannung bringen</translation>
    </message>
    <message>
        <source>Kept charged for more than %1 days: discharge it to storage voltage, or fly it.</source>
        <translation>Seit mehr als %1 Tagen geladen: auf Lagerspannung entladen oder fliegen.</translation>
    </message>
</context>
<context>
    <name>FleetView</name>
    <message>
        <source>Packs</source>
        <translation>Akkus</translation>
    </message>
    <message>
        <source>%1 packs: %2 to retire, %3 to watch, %4 kept charged for more than %5 days.</source>
        <translation>%1 Akkus: %2 ausmustern, %3 prüfen, %4 seit mehr als %5 Tagen geladen.</translation>
    </message>
    <message>
        <source>The storage folder holds no data file that can be read.</source>
        <translation>Der Speicherordner enthält keine lesbare Datendatei.</translation>
    </message>
    <message>
        <source>The data file could not be read to its end: the packs after the fault are missing.</source>
        <translation>Die Datendatei ließ sich nicht bis zum Ende lesen: die Akkus nach dem Fehler fehlen.</translation>
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
        <translation type="vanished">%1 Flüge, Flugzeit %2, %3 mAh</translation>
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
    <message>
        <source>Type the duration as hours, minutes and seconds, such as 00:06:12 (or 6:12), up to 23:59:59.</source>
        <translation>Die Flugdauer in Stunden, Minuten und Sekunden eingeben, etwa 00:06:12 (oder 6:12), höchstens 23:59:59.</translation>
    </message>
    <message>
        <source>The discharged capacity is a whole number from 0 to %1 mAh.</source>
        <translation>Die entladene Kapazität ist eine ganze Zahl von 0 bis %1 mAh.</translation>
    </message>
    <message>
        <source>The maximum current is a number from 0 to %1 A, to the hundredth, such as %2.</source>
        <translation>Der Höchststrom ist eine Zahl von 0 bis %1 A, auf die Hundertstel genau, etwa %2.</translation>
    </message>
    <message>
        <source>The resistance is a number of milliohms from 0 to %1, to the tenth, such as %2; empty or 0 when it is not known.</source>
        <translation>Der Widerstand ist eine Zahl in Milliohm von 0 bis %1, auf ein Zehntel genau, etwa %2; leer oder 0, wenn er nicht bekannt ist.</translation>
    </message>
    <message>
        <source>The temperature is a whole number from %1 to %2 °C.</source>
        <translation>Die Temperatur ist eine ganze Zahl von %1 bis %2 °C.</translation>
    </message>
    <message numerus="yes">
        <source>%n flight(s), flight time %1, %2 mAh</source>
        <translation>
            <numerusform>%n Flug, Flugzeit %1, %2 mAh</numerusform>
            <numerusform>%n Flüge, Flugzeit %1, %2 mAh</numerusform>
        </translation>
    </message>
    <message>
        <source>The logbook could not be written; nothing was changed.</source>
        <translation>Das Flugbuch ließ sich nicht schreiben; nichts wurde geändert.</translation>
    </message>
    <message>
        <source>Another flight or discharge is recorded at %1 already: each flight needs a moment of its own.</source>
        <translation>Um %1 ist schon ein anderer Flug oder eine andere Entladung eingetragen: jeder Flug braucht einen eigenen Zeitpunkt.</translation>
    </message>
    <message>
        <source>%1 cannot be set to this value; nothing was changed.</source>
        <translation>%1 kann diesen Wert nicht annehmen; nichts wurde geändert.</translation>
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
        <translation type="vanished">Entladung von %1 verschieben</translation>
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
    <message>
        <source>mΩ</source>
        <translation>mΩ</translation>
    </message>
    <message>
        <source>%1 charged again</source>
        <translation>%1 wieder geladen</translation>
    </message>
    <message>
        <source>%1 empty</source>
        <translation>%1 leer</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>, </source>
        <translation>, </translation>
    </message>
    <message>
        <source>Move Discharge of %1 to %2</source>
        <translation>Entladung von %1 nach %2 verschieben</translation>
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
    <message>
        <source>The discharge of %1 is not saved yet. Open the other folder without saving it?</source>
        <translation>Die Entladung von %1 ist noch nicht gespeichert. Den anderen Ordner öffnen, ohne sie zu speichern?</translation>
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
        <translation type="vanished">Der Speicherordner %1 kann nicht angelegt oder beschrieben werden. Das Logbuch öffnet sich zum Lesen, aber keine Änderung wird gespeichert.</translation>
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
        <translation type="vanished">%1: %2 Akkus, %3 Modelle, %4 Flüge (%5)</translation>
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
        <translation>&amp;Telemetrie-Logs importieren…</translation>
    </message>
    <message>
        <source>Open the other folder anyway and lose the change?</source>
        <translation>Den anderen Ordner trotzdem öffnen und die Änderung verlieren?</translation>
    </message>
    <message>
        <source>Import Telemetry Logs</source>
        <translation>Telemetrie-Logs importieren</translation>
    </message>
    <message>
        <source>The storage folder %1 holds no data file that can be read whole.</source>
        <translation>Der Speicherordner %1 enthält keine Datendatei, die sich ganz lesen lässt.</translation>
    </message>
    <message>
        <source>Import Telemetry</source>
        <translation>Telemetrie-Import</translation>
    </message>
    <message>
        <source>The logbook could not be written; nothing was changed.</source>
        <translation>Das Logbuch konnte nicht geschrieben werden; nichts wurde geändert.</translation>
    </message>
    <message>
        <source>%1.
Edit, Undo Import Telemetry takes it back.</source>
        <translation>%1.
Bearbeiten, Rückgängig: Telemetrie-Import nimmt ihn zurück.</translation>
    </message>
    <message>
        <source>Change Not Saved</source>
        <translation>Änderung nicht gespeichert</translation>
    </message>
    <message>
        <source>Your earlier change, which could not be saved, is kept as a rescue copy in %1. File, Restore from Rescue Copy brings it back.</source>
        <translation>Ihre frühere Änderung, die nicht gespeichert werden konnte, ist als Rettungskopie in %1 aufbewahrt. Datei, Aus Rettungskopie wiederherstellen holt sie zurück.</translation>
    </message>
    <message>
        <source>Restore…</source>
        <translation>Wiederherstellen…</translation>
    </message>
    <message>
        <source>Retry saves the logbook as the window shows it.</source>
        <translation>Erneut versuchen speichert das Logbuch so, wie das Fenster es zeigt.</translation>
    </message>
    <message>
        <source>The data file had been read only in part: before your change was saved, the whole file was kept as a rescue copy, which Restore brings back.</source>
        <translation>Die Datendatei war nur teilweise gelesen worden: Bevor Ihre Änderung gespeichert wurde, wurde die ganze Datei als Sicherungskopie aufbewahrt, die Wiederherstellen zurückholt.</translation>
    </message>
    <message>
        <source>Retry undoes %1.</source>
        <translation>Erneut versuchen macht %1 rückgängig.</translation>
    </message>
    <message>
        <source>Retry redoes %1.</source>
        <translation>Erneut versuchen führt %1 wieder aus.</translation>
    </message>
    <message>
        <source>The storage folder %1 cannot be created or written, but its data file can: each change is written into the data file itself, after its previous content was kept in %2. No lock keeps a second Cellora off this folder.</source>
        <translation>Der Speicherordner %1 kann nicht angelegt oder beschrieben werden, seine Datendatei aber schon: Jede Änderung wird direkt in die Datendatei geschrieben, nachdem ihr bisheriger Inhalt in %2 aufbewahrt wurde. Keine Sperre hält ein zweites Cellora von diesem Ordner fern.</translation>
    </message>
    <message>
        <source>Retry restores %1.</source>
        <translation>Erneut versuchen stellt %1 wieder her.</translation>
    </message>
    <message>
        <source>Try the Demo</source>
        <translation>Demo ausprobieren</translation>
    </message>
    <message>
        <source>The demo&apos;s logbook could not be written.</source>
        <translation>Das Flugbuch der Demo ließ sich nicht schreiben.</translation>
    </message>
    <message>
        <source>&amp;Packs…</source>
        <translation>&amp;Akkus…</translation>
    </message>
    <message>
        <source>%1: %2, %3, %4 (%5)</source>
        <translation>%1: %2, %3, %4 (%5)</translation>
    </message>
    <message numerus="yes">
        <source>%n battery(ies)</source>
        <translation>
            <numerusform>%n Akku</numerusform>
            <numerusform>%n Akkus</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n model(s)</source>
        <translation>
            <numerusform>%n Modell</numerusform>
            <numerusform>%n Modelle</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n flight(s)</source>
        <translation>
            <numerusform>%n Flug</numerusform>
            <numerusform>%n Flüge</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: another machine&apos;s version, merged: %2, %3, %4 (%5)</source>
        <translation>%1: Fassung eines anderen Rechners, zusammengeführt: %2, %3, %4 (%5)</translation>
    </message>
</context>
<context>
    <name>PackHealth</name>
    <message>
        <source>resistance doubled (%1)</source>
        <translation>Innenwiderstand verdoppelt (%1)</translation>
    </message>
    <message>
        <source>resistance up by half (%1)</source>
        <translation>Innenwiderstand um die Hälfte gestiegen (%1)</translation>
    </message>
    <message>
        <source>sags lower under load (%1 → %2 V)</source>
        <translation>bricht unter Last tiefer ein (%1 → %2 V)</translation>
    </message>
    <message>
        <source>charged for %1 days</source>
        <translation>seit %1 Tagen geladen</translation>
    </message>
    <message>
        <source>over 80 % used</source>
        <translation>über 80 % genutzt</translation>
    </message>
    <message>
        <source>uses more of its capacity per flight (%1 → %2 %)</source>
        <translation>braucht je Flug mehr Kapazität (%1 → %2 %)</translation>
    </message>
    <message>
        <source>%1 cycles</source>
        <translation>%1 Zyklen</translation>
    </message>
    <message>
        <source>%1 years old</source>
        <translation>%1 Jahre alt</translation>
    </message>
    <message>
        <source>good</source>
        <translation>gut</translation>
    </message>
    <message>
        <source>watch</source>
        <translation>prüfen</translation>
    </message>
    <message>
        <source>retire</source>
        <translation>ausmustern</translation>
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
        <translation type="vanished">über 80 % genutzt</translation>
    </message>
    <message>
        <source>%1 days (%2 years)</source>
        <translation type="vanished">%1 Tage (%2 Jahre)</translation>
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
        <translation type="vanished">Warnungen</translation>
    </message>
    <message>
        <source>Equivalent cycles: all discharged capacity over the pack&apos;s capacity. First 10 and last 10: the mean share of the capacity used in those discharges. Peak C: the highest current as a multiple of the capacity. Warnings: charged and unused for more than 3 days, or over 80 % of the capacity used in the last 10 discharges.</source>
        <translation type="vanished">Äquivalente Zyklen: die gesamte entladene Kapazität geteilt durch die Kapazität des Akkus. Erste 10 und letzte 10: der mittlere Anteil der Kapazität, der bei diesen Entladungen genutzt wurde. Spitze C: der höchste Strom als Vielfaches der Kapazität. Warnungen: geladen und mehr als 3 Tage ungenutzt, oder mehr als 80 % der Kapazität in den letzten 10 Entladungen genutzt.</translation>
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
        <translation type="vanished">Tage seit letzter Nutzung</translation>
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
        <translation type="vanished">Anteil der genutzten Kapazität je Entladung:</translation>
    </message>
    <message>
        <source>Discharge</source>
        <translation type="vanished">Entladung</translation>
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
    <message numerus="yes">
        <source>%n day(s) (%1 years)</source>
        <translation>
            <numerusform>%n Tag (%1 Jahre)</numerusform>
            <numerusform>%n Tage (%1 Jahre)</numerusform>
        </translation>
    </message>
    <message>
        <source>Verdict</source>
        <translation>Befund</translation>
    </message>
    <message>
        <source>Reasons</source>
        <translation>Gründe</translation>
    </message>
    <message>
        <source>Verdict: retire when the internal resistance has doubled against the pack&apos;s own first flights, or after %1 cycles or %2 years; watch when it rose by half, when the voltage under load sags %3 % lower, after %4 cycles or %5 years, when it is kept charged for more than %6 days, or when its discharges use over %7 % of the capacity or %8 points more than at first. Equivalent cycles: all discharged capacity over the pack&apos;s capacity. mΩ: the internal resistance of the latest flights. First 10 and last 10: the mean share of the capacity used in those discharges (Quick entries without figures left out). Peak C: the highest current as a multiple of the capacity. Idle days: since the last flight or charge.</source>
        <translation>Befund: ausmustern, wenn sich der Innenwiderstand gegenüber den ersten Flügen des Akkus verdoppelt hat, oder nach %1 Zyklen oder %2 Jahren; prüfen, wenn er um die Hälfte gestiegen ist, wenn die Spannung unter Last um %3 % tiefer einbricht, nach %4 Zyklen oder %5 Jahren, wenn der Akku mehr als %6 Tage geladen bleibt, oder wenn seine Entladungen über %7 % der Kapazität nutzen oder %8 Punkte mehr als anfangs. Äquivalente Zyklen: die gesamte entladene Kapazität geteilt durch die Kapazität des Akkus. mΩ: der Innenwiderstand der letzten Flüge. Erste 10 und letzte 10: der mittlere Anteil der Kapazität, der bei diesen Entladungen genutzt wurde (Schnelleinträge ohne Werte ausgenommen). Spitze C: der höchste Strom als Vielfaches der Kapazität. Tage ungenutzt: seit dem letzten Flug oder Laden.</translation>
    </message>
    <message>
        <source>Verdict:</source>
        <translation>Befund:</translation>
    </message>
    <message>
        <source>Internal resistance, first flights → now</source>
        <translation>Innenwiderstand, erste Flüge → jetzt</translation>
    </message>
    <message>
        <source>Lowest voltage under load, first flights → now</source>
        <translation>Niedrigste Spannung unter Last, erste Flüge → jetzt</translation>
    </message>
    <message>
        <source>Days since last flight or charge</source>
        <translation>Tage seit letztem Flug oder Laden</translation>
    </message>
    <message>
        <source>Share of the capacity used in each discharge, by date:</source>
        <translation>Anteil der genutzten Kapazität je Entladung, nach Datum:</translation>
    </message>
    <message>
        <source>Internal resistance in mΩ, by date:</source>
        <translation>Innenwiderstand in mΩ, nach Datum:</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>mΩ</source>
        <translation>mΩ</translation>
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
    <name>StartPage</name>
    <message>
        <source>Battery logbook for electric radio-controlled models</source>
        <translation>Akku-Flugbuch für elektrische Modelle</translation>
    </message>
    <message>
        <source>&amp;Open the Logbook</source>
        <translation>Flugbuch &amp;öffnen</translation>
    </message>
    <message>
        <source>Recent storage folders</source>
        <translation>Zuletzt geöffnete Speicherordner</translation>
    </message>
    <message>
        <source>Open Storage &amp;Folder…</source>
        <translation>Speicher&amp;ordner öffnen…</translation>
    </message>
    <message>
        <source>Try the &amp;Demo</source>
        <translation>&amp;Demo ausprobieren</translation>
    </message>
    <message>
        <source>Import &amp;Telemetry Logs…</source>
        <translation>&amp;Telemetrie-Logs importieren…</translation>
    </message>
    <message>
        <source>Cellora ends with File, Quit or by closing its window.</source>
        <translation>Cellora endet mit Datei, Beenden oder wenn sein Fenster geschlossen wird.</translation>
    </message>
    <message>
        <source>Open the logbook in %1</source>
        <translation>Das Flugbuch in %1 öffnen</translation>
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
        <source>Merged what another machine changed at the same time (its file is kept among the rescue copies). Where both changed the same, this machine&apos;s is kept:</source>
        <translation>Eingearbeitet, was ein anderer Rechner zur gleichen Zeit geändert hat (seine Datei liegt bei den Sicherungskopien). Wo beide dasselbe geändert haben, gilt der Wert dieses Rechners:</translation>
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
</context>
<context>
    <name>TelemetryDialog</name>
    <message>
        <source>Import Telemetry Logs</source>
        <translation>Telemetrie-Logs importieren</translation>
    </message>
    <message>
        <source>Choose the radio&apos;s telemetry logs: CSV files, or the LOGS folder of its SD card. Nothing changes until you apply.</source>
        <translation>Wählen Sie die Telemetrie-Logs des Senders: CSV-Dateien oder den Ordner LOGS seiner SD-Karte. Bis zum Anwenden ändert sich nichts.</translation>
    </message>
    <message>
        <source>Add &amp;Files…</source>
        <translation>&amp;Dateien hinzufügen…</translation>
    </message>
    <message>
        <source>Add F&amp;older…</source>
        <translation>&amp;Ordner hinzufügen…</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Modell</translation>
    </message>
    <message>
        <source>Current</source>
        <translation>Strom</translation>
    </message>
    <message>
        <source>Capacity</source>
        <translation>Kapazität</translation>
    </message>
    <message>
        <source>Voltage</source>
        <translation>Spannung</translation>
    </message>
    <message>
        <source>Flights</source>
        <translation>Flüge</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>Used</source>
        <translation>Verbraucht</translation>
    </message>
    <message>
        <source>Max. current</source>
        <translation>Max. Strom</translation>
    </message>
    <message>
        <source>Min. voltage</source>
        <translation>Min. Spannung</translation>
    </message>
    <message>
        <source>Battery</source>
        <translation>Akku</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Telemetry Logs</source>
        <translation>Telemetrie-Logs</translation>
    </message>
    <message>
        <source>Telemetry logs (*.csv *.CSV)</source>
        <translation>Telemetrie-Logs (*.csv *.CSV)</translation>
    </message>
    <message>
        <source>LOGS Folder</source>
        <translation>Ordner LOGS</translation>
    </message>
    <message numerus="yes">
        <source>%n flight(s); choose the current and capacity columns</source>
        <translation>
            <numerusform>%n Flug; bitte die Spalten für Strom und Kapazität wählen</numerusform>
            <numerusform>%n Flüge; bitte die Spalten für Strom und Kapazität wählen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n flight(s)</source>
        <translation>
            <numerusform>%n Flug</numerusform>
            <numerusform>%n Flüge</numerusform>
        </translation>
    </message>
    <message>
        <source>(not in the logbook: %1)</source>
        <translation>(nicht im Flugbuch: %1)</translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>(keine)</translation>
    </message>
    <message>
        <source>%1 mAh</source>
        <translation>%1 mAh</translation>
    </message>
    <message>
        <source>Fills the Quick entry of %1</source>
        <translation>Füllt den Schnelleintrag von %1</translation>
    </message>
    <message>
        <source>The entry of %1 has figures: tick to overwrite</source>
        <translation>Der Eintrag von %1 hat schon Werte: zum Überschreiben anhaken</translation>
    </message>
    <message>
        <source>Adds a flight once a battery is chosen</source>
        <translation>Fügt einen Flug hinzu, sobald ein Akku gewählt ist</translation>
    </message>
    <message>
        <source>Adds a flight and discharge</source>
        <translation>Fügt einen Flug und eine Entladung hinzu</translation>
    </message>
    <message>
        <source>No model in the logbook: choose one above</source>
        <translation>Kein Modell im Flugbuch: bitte oben eines wählen</translation>
    </message>
    <message>
        <source>No current or capacity logged</source>
        <translation>Weder Strom noch Kapazität aufgezeichnet</translation>
    </message>
    <message>
        <source>(choose a battery)</source>
        <translation>(Akku wählen)</translation>
    </message>
    <message>
        <source>No logs chosen yet.</source>
        <translation>Noch keine Logs gewählt.</translation>
    </message>
    <message>
        <source>Resistance</source>
        <translation>Innenwiderstand</translation>
    </message>
    <message>
        <source>Glitch readings</source>
        <translation>Fehlmessungen</translation>
    </message>
    <message>
        <source>Cancel &amp;Reading</source>
        <translation>Lesen &amp;abbrechen</translation>
    </message>
    <message numerus="yes">
        <source>Reading %n log(s)…</source>
        <translation>
            <numerusform>%n Log wird gelesen…</numerusform>
            <numerusform>%n Logs werden gelesen…</numerusform>
        </translation>
    </message>
    <message>
        <source>%L1 A</source>
        <translation type="vanished">%L1 A</translation>
    </message>
    <message>
        <source>%L1 V</source>
        <translation type="vanished">%L1 V</translation>
    </message>
    <message>
        <source>%L1 mΩ</source>
        <translation type="vanished">%L1 mΩ</translation>
    </message>
    <message>
        <source>%1 ignored</source>
        <translation>%1 übergangen</translation>
    </message>
    <message>
        <source>Not ticked: a power-on, not a flight</source>
        <translation>Nicht angehakt: Einschalten am Boden, kein Flug</translation>
    </message>
    <message numerus="yes">
        <source>Reading cancelled: %n log(s) left out. </source>
        <translation>
            <numerusform>Lesen abgebrochen: %n Log ausgelassen. </numerusform>
            <numerusform>Lesen abgebrochen: %n Logs ausgelassen. </numerusform>
        </translation>
    </message>
    <message>
        <source>%1 A</source>
        <translation>%1 A</translation>
    </message>
    <message>
        <source>%1 V</source>
        <translation>%1 V</translation>
    </message>
    <message>
        <source>%1 mΩ</source>
        <translation>%1 mΩ</translation>
    </message>
</context>
<context>
    <name>TelemetryImport</name>
    <message>
        <source>%1 flights: %2 Quick entries filled, %3 entries overwritten, %4 flights added, %5 already recorded, %6 left out</source>
        <translation type="vanished">%1 Flüge: %2 Schnelleinträge gefüllt, %3 Einträge überschrieben, %4 Flüge hinzugefügt, %5 schon erfasst, %6 ausgelassen</translation>
    </message>
    <message>
        <source>%1 of them not applied: %2</source>
        <translation type="vanished">%1 davon nicht übernommen: %2</translation>
    </message>
    <message>
        <source>the storage folder %1 is in use by %2</source>
        <translation>der Speicherordner %1 wird von %2 benutzt</translation>
    </message>
    <message>
        <source>no data file cellora.xml that can be read whole in the storage folder %1</source>
        <translation>keine ganz lesbare Datendatei cellora.xml im Speicherordner %1</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>no telemetry logs in %1</source>
        <translation>keine Telemetrie-Logs in %1</translation>
    </message>
    <message>
        <source>the data file in %1 could not be written</source>
        <translation>die Datendatei in %1 konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>%1, flight of %2</source>
        <translation>%1, Flug vom %2</translation>
    </message>
    <message>
        <source>%1: left out: %2</source>
        <translation>%1: ausgelassen: %2</translation>
    </message>
    <message>
        <source>no model %1 in the logbook</source>
        <translation>kein Modell %1 im Flugbuch</translation>
    </message>
    <message>
        <source>no current or capacity logged</source>
        <translation>weder Strom noch Kapazität aufgezeichnet</translation>
    </message>
    <message>
        <source>a power-on, not a flight: %1 s and %2 mAh, under 30 s and under 2 % of the pack&apos;s %3 mAh</source>
        <translation>Einschalten am Boden, kein Flug: %1 s und %2 mAh, unter 30 s und unter 2 % der %3 mAh des Akkus</translation>
    </message>
    <message>
        <source>a power-on, not a flight: %1 s and %2 mAh, under 30 s and under 20 mAh</source>
        <translation>Einschalten am Boden, kein Flug: %1 s und %2 mAh, unter 30 s und unter 20 mAh</translation>
    </message>
    <message numerus="yes">
        <source>no battery chosen: model %1 has %n battery(ies)</source>
        <translation>
            <numerusform>kein Akku gewählt: Modell %1 hat %n Akku</numerusform>
            <numerusform>kein Akku gewählt: Modell %1 hat %n Akkus</numerusform>
        </translation>
    </message>
    <message>
        <source>not ticked</source>
        <translation>nicht angehakt</translation>
    </message>
    <message numerus="yes">
        <source>no flights: none of its %n row(s) has a readable date and time</source>
        <translation>
            <numerusform>keine Flüge: seine %n Zeile hat kein lesbares Datum mit Uhrzeit</numerusform>
            <numerusform>keine Flüge: keine seiner %n Zeilen hat ein lesbares Datum mit Uhrzeit</numerusform>
        </translation>
    </message>
    <message>
        <source>no flights: it holds no rows</source>
        <translation>keine Flüge: es enthält keine Zeilen</translation>
    </message>
    <message numerus="yes">
        <source>%n Quick entry(ies) filled</source>
        <translation>
            <numerusform>%n Schnelleintrag gefüllt</numerusform>
            <numerusform>%n Schnelleinträge gefüllt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n entry(ies) overwritten</source>
        <translation>
            <numerusform>%n Eintrag überschrieben</numerusform>
            <numerusform>%n Einträge überschrieben</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n flight(s) added</source>
        <translation>
            <numerusform>%n Flug hinzugefügt</numerusform>
            <numerusform>%n Flüge hinzugefügt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n already recorded</source>
        <translation>
            <numerusform>%n schon erfasst</numerusform>
            <numerusform>%n schon erfasst</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n left out</source>
        <translation>
            <numerusform>%n ausgelassen</numerusform>
            <numerusform>%n ausgelassen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n flight(s)</source>
        <translation>
            <numerusform>%n Flug</numerusform>
            <numerusform>%n Flüge</numerusform>
        </translation>
    </message>
    <message>
        <source>, </source>
        <translation>, </translation>
    </message>
    <message numerus="yes">
        <source>%n of them not applied: %1</source>
        <translation>
            <numerusform>%n davon nicht übernommen: %1</numerusform>
            <numerusform>%n davon nicht übernommen: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TelemetryLog</name>
    <message>
        <source>the file is empty</source>
        <translation>die Datei ist leer</translation>
    </message>
    <message>
        <source>not a telemetry log: the first line is no list of column names</source>
        <translation>kein Telemetrie-Log: die erste Zeile ist keine Liste von Spaltennamen</translation>
    </message>
    <message>
        <source>not a telemetry log: the first line names no Date and Time columns</source>
        <translation>kein Telemetrie-Log: die erste Zeile nennt keine Spalten Date und Time</translation>
    </message>
    <message>
        <source>the reading was cancelled</source>
        <translation>das Lesen wurde abgebrochen</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>kann nicht gelesen werden</translation>
    </message>
</context>
</TS>
