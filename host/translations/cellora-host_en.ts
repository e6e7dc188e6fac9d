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
        <translation type="vanished">
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
    <message numerus="yes">
        <source>Reading %n log(s)…</source>
        <translation>
            <numerusform>Reading %n log…</numerusform>
            <numerusform>Reading %n logs…</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Reading cancelled: %n log(s) left out. </source>
        <translation>
            <numerusform>Reading cancelled: %n log left out. </numerusform>
            <numerusform>Reading cancelled: %n logs left out. </numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TelemetryImport</name>
    <message numerus="yes">
        <source>no battery chosen: model %1 has %n battery(ies)</source>
        <translation>
            <numerusform>no battery chosen: model %1 has %n battery</numerusform>
            <numerusform>no battery chosen: model %1 has %n batteries</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>no flights: none of its %n row(s) has a readable date and time</source>
        <translation>
            <numerusform>no flights: none of its %n row has a readable date and time</numerusform>
            <numerusform>no flights: none of its %n rows has a readable date and time</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Quick entry(ies) filled</source>
        <translation>
            <numerusform>%n Quick entry filled</numerusform>
            <numerusform>%n Quick entries filled</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n entry(ies) overwritten</source>
        <translation>
            <numerusform>%n entry overwritten</numerusform>
            <numerusform>%n entries overwritten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n flight(s) added</source>
        <translation>
            <numerusform>%n flight added</numerusform>
            <numerusform>%n flights added</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n already recorded</source>
        <translation>
            <numerusform>%n already recorded</numerusform>
            <numerusform>%n already recorded</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n left out</source>
        <translation>
            <numerusform>%n left out</numerusform>
            <numerusform>%n left out</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n flight(s)</source>
        <translation>
            <numerusform>%n flight</numerusform>
            <numerusform>%n flights</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of them not applied: %1</source>
        <translation>
            <numerusform>%n of them not applied: %1</numerusform>
            <numerusform>%n of them not applied: %1</numerusform>
        </translation>
    </message>
</context>
</TS>
