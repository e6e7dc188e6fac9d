<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>FlightEditor</name>
    <message numerus="yes">
        <source>%n flight(s), flight time %1, %2 mAh</source>
        <translation>
            <numerusform>%n flight, flight time %1, %2 mAh</numerusform>
            <numerusform>%n flights, flight time %1, %2 mAh</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HostWindow</name>
    <message numerus="yes">
        <source>%n battery(ies)</source>
        <translation>
            <numerusform>%n battery</numerusform>
            <numerusform>%n batteries</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n model(s)</source>
        <translation>
            <numerusform>%n model</numerusform>
            <numerusform>%n models</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n flight(s)</source>
        <translation>
            <numerusform>%n flight</numerusform>
            <numerusform>%n flights</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PackReport</name>
    <message numerus="yes">
        <source>charged for %n day(s)</source>
        <translation>
            <numerusform>charged for %n day</numerusform>
            <numerusform>charged for %n days</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n day(s) (%1 years)</source>
        <translation>
            <numerusform>%n day (%1 years)</numerusform>
            <numerusform>%n days (%1 years)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TelemetryDialog</name>
    <message numerus="yes">
        <source>%n flight(s); choose the current and capacity columns</source>
        <translation>
            <numerusform>%n flight; choose the current and capacity columns</numerusform>
            <numerusform>%n flights; choose the current and capacity columns</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n flight(s)</source>
        <translation>
            <numerusform>%n flight</numerusform>
            <numerusform>%n flights</numerusform>
        </translation>
    </message>
</context>
</TS>
