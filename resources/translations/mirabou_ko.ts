<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko">
<context>
    <name>help::THelpViewer</name>
    <message>
        <source>Contents</source>
        <translation>목차</translation>
    </message>
    <message>
        <source>Index</source>
        <translation>색인</translation>
    </message>
    <message>
        <source>Keyword</source>
        <translation>키워드</translation>
    </message>
</context>
</TS>
