<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>harvly</name>
    <message>
        <source>The folder name is err,Can not Credte New Folder!</source>
        <translation>文件夹名称错误，不能创建新文件夹！</translation>
    </message>
    <message>
        <source>file does not exist!</source>
        <translation>文件不存在！</translation>
    </message>
</context>
<context>
    <name>harvly::fCover</name>
    <message>
        <source>Version：</source>
        <translation>版本：</translation>
    </message>
    <message>
        <source>The software is used only for a small number of researchers assist download; please do not download malicious downloads and a lot!</source>
        <translation>本软件仅供少数研究人员辅助下载使用，请勿恶意下载和大量下载！</translation>
    </message>
    <message>
        <source>Download Document Retrieval</source>
        <translation>文献检索下载</translation>
    </message>
    <message>
        <source>中文版</source>
        <translation>English Version</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>版本:</translation>
    </message>
</context>
<context>
    <name>harvly::fWebSearch</name>
    <message>
        <source>ProQuest data retrieval and Analysis</source>
        <translation>ProQuest数据检索与分析</translation>
    </message>
</context>
</TS>
