<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="uk">
<context>
    <name>help::THelpViewer</name>
    <message>
        <source>Contents</source>
        <translation>Зміст</translation>
    </message>
    <message>
        <source>Index</source>
        <translation>Індекс</translation>
    </message>
    <message>
        <source>Keyword</source>
        <translation>Ключове слово</translation>
    </message>
</context>
</TS>
