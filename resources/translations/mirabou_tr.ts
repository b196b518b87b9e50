<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="tr">
<context>
    <name>help::THelpViewer</name>
    <message>
        <source>Contents</source>
        <translation>İçerik</translation>
    </message>
    <message>
        <source>Index</source>
        <translation>Dizin</translation>
    </message>
    <message>
        <source>Keyword</source>
        <translation>Terim</translation>
    </message>
</context>
</TS>
