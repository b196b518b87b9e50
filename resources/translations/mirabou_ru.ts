<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>help::THelpViewer</name>
    <message>
        <source>Contents</source>
        <translation>Разделы</translation>
    </message>
    <message>
        <source>Index</source>
        <translation>Индекс</translation>
    </message>
    <message>
        <source>Keyword</source>
        <translation>Термин</translation>
    </message>
</context>
</TS>
