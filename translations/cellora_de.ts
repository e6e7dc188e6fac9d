<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>BatteryWidget</name>
    <message>
        <source>BatteryWidget</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last use:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cycles:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Discharged:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Max. Current:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CelloraGui</name>
    <message>
        <source>Welcome</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please go to Options and add new model and battery!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Battery data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Model</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Battery</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Location</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logbook</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Chart</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Data capture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quick</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Full</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In Quick mode you will not be asked to enter any data when battery was discharged!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Data backup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add location</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add battery</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Capacity (mAh)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>00000</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Discharge rate (C)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Charge  rate (C)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>000</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0.0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cycles already used</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date of purchase (Y/M/D)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0000</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add model</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Weight</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Flights already used</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Additional notes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete battery</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Really?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete model</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete location</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Log book</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ambient temp</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maximum current (A)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Battery discharged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Flight log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Modify model</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Modify battery</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantrix %1.%2.%3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error! Could not create file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export finished!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error! Could not access file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import finished!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error! Not a valid file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Battery age: %1 years</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
