<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it">
<context>
    <name>help::THelpViewer</name>
    <message>
        <source>Contents</source>
        <translation>Sommario</translation>
    </message>
    <message>
        <source>Index</source>
        <translation>Indice</translation>
    </message>
    <message>
        <source>Keyword</source>
        <translation>Parola chiave</translation>
    </message>
</context>
</TS>
