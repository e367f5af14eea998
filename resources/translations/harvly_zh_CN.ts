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
    <message>
        <source>Folder Settings Error！</source>
        <translation>文件夹设置错误！</translation>
    </message>
    <message>
        <source>Minute</source>
        <translation>分</translation>
    </message>
    <message>
        <source>Sec</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>RIS (*.ris)</source>
        <translation>RIS 文件 (*.ris)</translation>
    </message>
    <message>
        <source>BibTeX (*.bib)</source>
        <translation>BibTeX 文件 (*.bib)</translation>
    </message>
    <message>
        <source>CSL-JSON (*.json)</source>
        <translation>CSL-JSON 文件 (*.json)</translation>
    </message>
    <message>
        <source>Export Citations</source>
        <translation>导出题录</translation>
    </message>
    <message>
        <source>No items to export!</source>
        <translation>没有可导出的项目！</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message numerus="yes">
        <source>%n citation(s) exported to %1</source>
        <translation>
            <numerusform>已导出 %n 条题录到 %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>harvly::ArticleAnalysis</name>
    <message>
        <source>success</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>Failure</source>
        <translation>分析失败</translation>
    </message>
    <message>
        <source>Analysising :%1,Please wait ...</source>
        <translation>正在分析第%1个，请稍候 ...</translation>
    </message>
    <message>
        <source>Analysising:%1,Please wait ...</source>
        <translation>正在分析第%1个，请稍候 ...</translation>
    </message>
    <message>
        <source>Analysis failed! Probably because the analysis too fast, not so much continuous analysis article!</source>
        <translation>分析失败！可能因为分析速度太快，不能连续分析那么多文章！</translation>
    </message>
</context>
<context>
    <name>harvly::DownloadListModel</name>
    <message>
        <source>Sum:%1|Downloading：%2|Waitting:%3|Completed:%4|Err:%5</source>
        <translation>总数:%1|正在下载：%2|等待:%3|完成:%4|错误:%5</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>标题</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>FileSize</source>
        <translation>文件大小</translation>
    </message>
    <message>
        <source>Downloaded</source>
        <translation>已下载</translation>
    </message>
    <message>
        <source>percentage</source>
        <translation>百分比</translation>
    </message>
    <message>
        <source>SavePath</source>
        <translation>保存路径</translation>
    </message>
    <message>
        <source>B</source>
        <translation>B</translation>
    </message>
    <message>
        <source>Wait re-download</source>
        <translation>Wait re-download</translation>
    </message>
    <message>
        <source>download failed</source>
        <translation>下载失败</translation>
    </message>
    <message>
        <source>Download Cancel</source>
        <translation>下载取消</translation>
    </message>
    <message>
        <source>certificate not trusted</source>
        <translation>证书不可信</translation>
    </message>
    <message>
        <source>Bad proxy setting</source>
        <translation>代理设置错误</translation>
    </message>
    <message>
        <source>Already exists, skip</source>
        <translation>已存在，跳过</translation>
    </message>
    <message>
        <source>Big file, skipped</source>
        <translation>大文件，跳过</translation>
    </message>
    <message>
        <source>Can not replace</source>
        <translation>无法替换</translation>
    </message>
    <message>
        <source>unknow</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>not exist</source>
        <translation>不存在</translation>
    </message>
    <message>
        <source>Server busy</source>
        <translation>服务器忙</translation>
    </message>
    <message>
        <source>Retrying</source>
        <translation>重试</translation>
    </message>
    <message>
        <source>needs a password</source>
        <translation>需要密码</translation>
    </message>
    <message>
        <source>Title not found in the document</source>
        <translation>文档中未找到标题</translation>
    </message>
    <message>
        <source>no text to check</source>
        <translation>无文字可核对</translation>
    </message>
    <message>
        <source>|Unconfirmed:%1</source>
        <translation>|未确认:%1</translation>
    </message>
    <message numerus="yes">
        <source>%n page(s)</source>
        <translation>
            <numerusform>%n 页</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>harvly::FailureReason</name>
    <message>
        <source>time limit without progress</source>
        <translation>超时：长时间没有进展</translation>
    </message>
    <message>
        <source>time limit without an answer</source>
        <translation>超时：服务器没有响应</translation>
    </message>
    <message>
        <source>body shorter than announced: %1 of %2 bytes</source>
        <translation>内容比声明的短：%1/%2 字节</translation>
    </message>
    <message>
        <source>empty answer</source>
        <translation>空响应</translation>
    </message>
    <message>
        <source>unsupported address</source>
        <translation>不支持的地址</translation>
    </message>
    <message>
        <source>destination not a folder</source>
        <translation>目标不是文件夹</translation>
    </message>
    <message>
        <source>disk full</source>
        <translation>磁盘已满</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>bad proxy setting</source>
        <translation>代理设置错误</translation>
    </message>
    <message>
        <source>certificate not trusted</source>
        <translation>证书不可信</translation>
    </message>
    <message>
        <source>no size announced in twenty minutes</source>
        <translation>二十分钟内未得到文件大小</translation>
    </message>
    <message>
        <source>cannot write the file: %1</source>
        <translation>无法写入文件：%1</translation>
    </message>
    <message>
        <source>cannot put the file in place: %1</source>
        <translation>无法放置文件：%1</translation>
    </message>
    <message>
        <source>connection refused</source>
        <translation>连接被拒绝</translation>
    </message>
    <message>
        <source>connection reset</source>
        <translation>连接被重置</translation>
    </message>
    <message>
        <source>host not found</source>
        <translation>找不到主机</translation>
    </message>
    <message>
        <source>too many redirects</source>
        <translation>重定向次数过多</translation>
    </message>
    <message>
        <source>redirect from https to http refused</source>
        <translation>拒绝从 https 重定向到 http</translation>
    </message>
    <message>
        <source>proxy failed: %1</source>
        <translation>代理失败：%1</translation>
    </message>
    <message>
        <source>HTTP status %1</source>
        <translation>HTTP 状态 %1</translation>
    </message>
    <message>
        <source>Incomplete PDF</source>
        <translation>PDF不完整</translation>
    </message>
    <message>
        <source>A web page came instead of the document; the earlier file was kept</source>
        <translation>收到的是网页而不是文档，原有文件已保留</translation>
    </message>
    <message>
        <source>server busy: five answers to wait</source>
        <translation>服务器忙：已五次要求等待</translation>
    </message>
    <message>
        <source>Server busy, retry at %1</source>
        <translation>服务器忙，%1 再试</translation>
    </message>
    <message>
        <source>the server sent another part than the rest asked for</source>
        <translation>服务器发送的不是所请求的剩余部分</translation>
    </message>
    <message>
        <source>%1; retry %2 of %3 at %4</source>
        <translation>%1；%4 第 %2/%3 次重试</translation>
    </message>
    <message>
        <source>Damaged PDF: %1</source>
        <translation>PDF已损坏：%1</translation>
    </message>
</context>
<context>
    <name>harvly::Form_Copy_Move</name>
    <message>
        <source>Start</source>
        <translation>开始</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Copy or move files</source>
        <translation>复制或移动文件</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>浏览</translation>
    </message>
    <message>
        <source>If the file already exists with the same name</source>
        <translation>如果已存在同名文件</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>跳过</translation>
    </message>
    <message>
        <source>cover</source>
        <translation>覆盖</translation>
    </message>
    <message>
        <source>Auto Rename</source>
        <translation>自动重命名</translation>
    </message>
    <message>
        <source>File size and modification time are the same: cover; otherwise: Auto Rename</source>
        <translation>文件大小和修改时间相同：覆盖；否则：自动重命名</translation>
    </message>
    <message>
        <source>File size the same: cover; otherwise: Auto Rename</source>
        <translation>文件大小相同：覆盖；否则：自动重命名</translation>
    </message>
    <message>
        <source>Destination folder:</source>
        <translation>目标文件夹：</translation>
    </message>
    <message>
        <source>Current file:</source>
        <translation>当前文件：</translation>
    </message>
    <message>
        <source>Progress:</source>
        <translation>进度：</translation>
    </message>
    <message>
        <source>Move Files..</source>
        <translation>移动文件..</translation>
    </message>
    <message>
        <source>Copy Files...</source>
        <translation>复制文件...</translation>
    </message>
    <message>
        <source>Please select the folder you want to browse:</source>
        <translation>请选择您要浏览的文件夹：</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Create Folder error！</source>
        <translation>创建文件夹错误！</translation>
    </message>
    <message>
        <source>Move the files completed!</source>
        <translation>移动文件完成！</translation>
    </message>
    <message>
        <source>Copy the files completed!</source>
        <translation>复制文件完成！</translation>
    </message>
    <message>
        <source>These files could not be copied:</source>
        <translation>以下文件未能复制：</translation>
    </message>
</context>
<context>
    <name>harvly::LoginPanel</name>
    <message>
        <source>Account:</source>
        <translation>帐号：</translation>
    </message>
    <message>
        <source>IP Login</source>
        <translation>IP登录</translation>
    </message>
    <message>
        <source>Auto Refresh (per minute)</source>
        <translation>自动刷新（每分钟）</translation>
    </message>
    <message>
        <source>Auto Login</source>
        <translation>自动登录</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>浏览</translation>
    </message>
    <message>
        <source>Log Test</source>
        <translation>登录测试</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>URL:</source>
        <translation>网址：</translation>
    </message>
    <message>
        <source>Pass:</source>
        <translation>密码：</translation>
    </message>
    <message>
        <source>Condition:</source>
        <translation>条件：</translation>
    </message>
    <message>
        <source>You must set the Login URL!</source>
        <translation>必须先设置登录网址！</translation>
    </message>
    <message>
        <source>Account login, you must first set the login account and password！</source>
        <translation>帐号登录,必须先设置登录帐号和登录密码！</translation>
    </message>
</context>
<context>
    <name>harvly::ParallelEngine</name>
    <message>
        <source>Downloaded:</source>
        <translation>完成下载:</translation>
    </message>
</context>
<context>
    <name>harvly::ResultListModel</name>
    <message>
        <source>Title</source>
        <translation>标题</translation>
    </message>
    <message>
        <source>File type</source>
        <translation>文件类型</translation>
    </message>
    <message>
        <source>Analysis state</source>
        <translation>分析状态</translation>
    </message>
    <message>
        <source>Save Path</source>
        <translation>保存路径</translation>
    </message>
    <message>
        <source>TYPE</source>
        <translation>类型</translation>
    </message>
</context>
<context>
    <name>harvly::SingleRequestEngine</name>
    <message>
        <source>downloading:</source>
        <translation>正在下载:</translation>
    </message>
    <message>
        <source>Downloaded</source>
        <translation>完成下载:</translation>
    </message>
</context>
<context>
    <name>harvly::UrlReplace</name>
    <message>
        <source>Batch Replace URL</source>
        <translation>批量替换网址</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>替换</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>String in All URL:</source>
        <translation>所有网址中的字符串：</translation>
    </message>
    <message>
        <source>Will be replaced with the string:</source>
        <translation>将被替换为字符串：</translation>
    </message>
    <message>
        <source>Please enter the string！</source>
        <translation>请输入字符串！</translation>
    </message>
    <message>
        <source>Nothing was replaced: two rows would share the address %1</source>
        <translation>未替换任何网址：两行将使用同一个网址 %1</translation>
    </message>
    <message>
        <source>All URLs replacement is completed！</source>
        <translation>全部网址替换完成！</translation>
    </message>
</context>
<context>
    <name>harvly::addlinks</name>
    <message>
        <source>Web  Method</source>
        <translation>网页方式</translation>
    </message>
    <message>
        <source>Download Method</source>
        <translation>下载方式</translation>
    </message>
    <message>
        <source>Second interval              automatically analyzes the URL is not successful</source>
        <translation>秒间隔自动分析不成功的网址</translation>
    </message>
    <message>
        <source>If you open the page limitation, automatic stop analysis</source>
        <translation>如果打开页面受限，自动停止分析</translation>
    </message>
    <message>
        <source>Analysis to Add</source>
        <translation>分析加入</translation>
    </message>
    <message>
        <source>Add Batch Document URL</source>
        <translation>批量添加文献网址</translation>
    </message>
    <message>
        <source>Clear All</source>
        <translation>全部清除</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>Import URL list file</source>
        <translation>导入网址列表文件</translation>
    </message>
    <message>
        <source>URL to be analyzed</source>
        <translation>待分析的网址</translation>
    </message>
    <message>
        <source>Save to</source>
        <translation>保存到</translation>
    </message>
    <message>
        <source>Copy to Analysis</source>
        <translation>复制到分析</translation>
    </message>
    <message>
        <source>URL of Analysis Unsuccessful </source>
        <translation>分析不成功的网址</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Speed delay:             seconds</source>
        <translation>速度延时：             秒</translation>
    </message>
    <message>
        <source>progress:</source>
        <translation>进度：</translation>
    </message>
    <message>
        <source>Stop Analysis</source>
        <translation>停止分析</translation>
    </message>
    <message>
        <source>Successfully imported：</source>
        <translation>成功导入：</translation>
    </message>
    <message>
        <source>The analysis is completed or stops, you can close the window！</source>
        <translation>分析完成或停止后，才能关闭窗口！</translation>
    </message>
    <message>
        <source>The file cannot be imported: it is not a text list of at most 10 MB.</source>
        <translation>无法导入该文件：它不是不超过 10 MB 的文本列表。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
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
    <message>
        <source>Latest Version：</source>
        <translation>最新版本：</translation>
    </message>
    <message>
        <source>A newer version: V%1, ready to download.</source>
        <translation>有最新版本：V%1可以下载升级。</translation>
    </message>
    <message>
        <source>A newer version can be installed!</source>
        <translation>有最新版本可以更新升级！！</translation>
    </message>
    <message>
        <source>Please keep the network flow！</source>
        <translation>请保持网络畅通！</translation>
    </message>
</context>
<context>
    <name>harvly::fFileDownload</name>
    <message>
        <source>Double-click the mouse: download current item or open a file</source>
        <translation>双击鼠标：下载当前项或打开文件</translation>
    </message>
    <message>
        <source>Download List:</source>
        <translation>下载列表：</translation>
    </message>
    <message>
        <source>Download Way:</source>
        <translation>下载方式：</translation>
    </message>
    <message>
        <source>Threads:</source>
        <translation>线程数：</translation>
    </message>
    <message>
        <source>download interval:</source>
        <translation>下载间隔：</translation>
    </message>
    <message>
        <source>Sec</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>Same file name:</source>
        <translation>同名文件：</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>跳过</translation>
    </message>
    <message>
        <source>Cover</source>
        <translation>覆盖</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>重命名</translation>
    </message>
    <message>
        <source>Auto ReDownload：</source>
        <translation>自动重新下载：</translation>
    </message>
    <message>
        <source>Err Items</source>
        <translation>错误项</translation>
    </message>
    <message>
        <source>htm Items</source>
        <translation>htm项</translation>
    </message>
    <message>
        <source>Err and Htm Items</source>
        <translation>错误项和htm项</translation>
    </message>
    <message>
        <source>Auto start download When have new item</source>
        <translation>有新项目时自动开始下载</translation>
    </message>
    <message>
        <source>Stop download When more than five error downloads</source>
        <translation>错误超过五个时停止下载</translation>
    </message>
    <message>
        <source>Voice prompts</source>
        <translation>声音提示</translation>
    </message>
    <message>
        <source>Start Download</source>
        <translation>开始下载</translation>
    </message>
    <message>
        <source>Stop Download</source>
        <translation>停止下载</translation>
    </message>
    <message>
        <source>Switch</source>
        <translation>切换</translation>
    </message>
    <message>
        <source>List Operating(&amp;D)</source>
        <translation>列表操作(&amp;D)</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>DeSelect All</source>
        <translation>全不选</translation>
    </message>
    <message>
        <source>Random Sorted List</source>
        <translation>随机排序列表</translation>
    </message>
    <message>
        <source>Automatic Column Width</source>
        <translation>自动列宽</translation>
    </message>
    <message>
        <source>ReDownload</source>
        <translation>重新下载</translation>
    </message>
    <message>
        <source>Select Items</source>
        <translation>选中项</translation>
    </message>
    <message>
        <source>HTM/HTML/xml Items</source>
        <translation>HTM/HTML/xml项</translation>
    </message>
    <message>
        <source>ReDownload Err And Htm Items</source>
        <translation>重新下载错误项和Htm项</translation>
    </message>
    <message>
        <source>ReDownload Assin FileSize Items</source>
        <translation>重新下载指定大小的项</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>Completed Items</source>
        <translation>已完成项</translation>
    </message>
    <message>
        <source>Clear All</source>
        <translation>全部清除</translation>
    </message>
    <message>
        <source>Delete File</source>
        <translation>删除文件</translation>
    </message>
    <message>
        <source>Start Download </source>
        <translation>开始下载 </translation>
    </message>
    <message>
        <source>Stop Download </source>
        <translation>停止下载 </translation>
    </message>
    <message>
        <source>Canel Download Select Items</source>
        <translation>取消下载选中项</translation>
    </message>
    <message>
        <source>Open Downloaded File</source>
        <translation>打开已下载文件</translation>
    </message>
    <message>
        <source>Open The Folder Where The File</source>
        <translation>打开文件所在文件夹</translation>
    </message>
    <message>
        <source>Open The File With Notepad</source>
        <translation>用记事本打开文件</translation>
    </message>
    <message>
        <source>Copy Title</source>
        <translation>复制标题</translation>
    </message>
    <message>
        <source>Batch Replace URL</source>
        <translation>批量替换网址</translation>
    </message>
    <message>
        <source>Output Titles</source>
        <translation>输出标题</translation>
    </message>
    <message>
        <source>All</source>
        <translation>全部</translation>
    </message>
    <message>
        <source>UnFinished</source>
        <translation>未完成</translation>
    </message>
    <message>
        <source>Close This Window</source>
        <translation>关闭本窗口</translation>
    </message>
    <message>
        <source>Window(&amp;W)</source>
        <translation>窗口(&amp;W)</translation>
    </message>
    <message>
        <source>Search Information Analysis Window </source>
        <translation>检索信息分析窗口 </translation>
    </message>
    <message>
        <source>Tool(&amp;T)</source>
        <translation>工具(&amp;T)</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Auto Positioning To Download Item</source>
        <translation>自动定位到下载项</translation>
    </message>
    <message>
        <source>Open Ref URL before Download</source>
        <translation>下载前打开引用网址</translation>
    </message>
    <message>
        <source>Check The File Is Exists</source>
        <translation>检查文件是否存在</translation>
    </message>
    <message>
        <source>Check And Correct Disk File Type</source>
        <translation>检查并纠正磁盘文件类型</translation>
    </message>
    <message>
        <source>Clear IE cach</source>
        <translation>清除浏览器缓存</translation>
    </message>
    <message>
        <source>Open the File Check the File Type</source>
        <translation>打开文件检查文件类型</translation>
    </message>
    <message>
        <source>Help(&amp;H)</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Files Download</source>
        <translation>文件下载</translation>
    </message>
    <message>
        <source>Downloading files or download is not completed, close the window to force it?</source>
        <translation>正在下载文件或下载未完成，强制关闭窗口吗？</translation>
    </message>
    <message>
        <source>Stop downloading later to perform this operation!</source>
        <translation>停止下载以后，才能执行此操作！</translation>
    </message>
    <message>
        <source>Correct file types:%1</source>
        <translation>纠正文件类型：%1个.</translation>
    </message>
    <message>
        <source>Still unable to determine.</source>
        <translation>目前还无法判断。</translation>
    </message>
    <message>
        <source>File type:</source>
        <translation>文件类型为：</translation>
    </message>
    <message>
        <source>Web page open</source>
        <translation>打开网页</translation>
    </message>
    <message>
        <source>Change to download Mode</source>
        <translation>切换下载方式</translation>
    </message>
    <message>
        <source>Random Sort complete!</source>
        <translation>随机排序完成！</translation>
    </message>
    <message>
        <source>Please enter the number:</source>
        <translation>请输入数字：</translation>
    </message>
    <message>
        <source>Are you sure you want to clear the list of all the information?</source>
        <translation>您确定要清空列表的所有信息吗？</translation>
    </message>
    <message>
        <source>Before setting stop downloading!</source>
        <translation>停止下载后方可设置！</translation>
    </message>
    <message>
        <source>file does not exist!</source>
        <translation>该文件不存在！</translation>
    </message>
    <message>
        <source>Folder does not exist!</source>
        <translation>文件夹不存在！</translation>
    </message>
    <message>
        <source>Failed to open!</source>
        <translation>打开失败！</translation>
    </message>
    <message>
        <source>The file is too large, more than 2M, not easy to use Notepad to open!</source>
        <translation>该文件太大，超过了2M，不便于用记事本打开！</translation>
    </message>
    <message>
        <source>After the download stops before ordering!</source>
        <translation>停止下载后方可排序！</translation>
    </message>
    <message>
        <source>%1</source>
        <translation>%1条</translation>
    </message>
    <message>
        <source>The download list of the last run (%1 rows) was kept.</source>
        <translation>上次运行的下载列表（%1 条）已保留。</translation>
    </message>
    <message>
        <source>The kept download list could not be read (%1); it was set aside as %2.</source>
        <translation>保留的下载列表无法读取（%1），已另存为 %2。</translation>
    </message>
    <message>
        <source>Restore Last List</source>
        <translation>恢复上次列表</translation>
    </message>
    <message>
        <source>Start Empty</source>
        <translation>从空列表开始</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>The download list is kept by another running Harvly (process %1): this window&apos;s list is not kept.</source>
        <translation>下载列表已由另一个正在运行的 Harvly（进程 %1）保存：本窗口的列表不保存。</translation>
    </message>
    <message>
        <source>Export Citations...</source>
        <translation>导出题录...</translation>
    </message>
    <message>
        <source>Finished Items</source>
        <translation>已完成项目</translation>
    </message>
    <message>
        <source>Select Unconfirmed Items</source>
        <translation>选中未确认项</translation>
    </message>
    <message>
        <source>ReDownload Unconfirmed Items</source>
        <translation>重新下载未确认项</translation>
    </message>
</context>
<context>
    <name>harvly::fIEcache</name>
    <message>
        <source>IE cache Clear completed！</source>
        <translation>IE缓存清除完成！</translation>
    </message>
    <message>
        <source>IE browser cache Cookie  and history list</source>
        <translation>IE浏览器缓存Cookie和历史记录列表</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>网址</translation>
    </message>
    <message>
        <source>TYPE</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>SIZE(Byte)</source>
        <translation>大小(字节)</translation>
    </message>
    <message>
        <source>FilePath</source>
        <translation>文件路径</translation>
    </message>
    <message>
        <source>User</source>
        <translation>用户</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>文件夹</translation>
    </message>
    <message>
        <source>View my cache</source>
        <translation>查看我的缓存</translation>
    </message>
    <message>
        <source>View all user cache</source>
        <translation>查看所有用户缓存</translation>
    </message>
    <message>
        <source>Copy the selected ...</source>
        <translation>复制选中的 ...</translation>
    </message>
    <message>
        <source>Delete selected files</source>
        <translation>删除选中的文件</translation>
    </message>
    <message>
        <source>Delete all</source>
        <translation>全部删除</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>User:</source>
        <translation>用户:</translation>
    </message>
    <message>
        <source>Err!!!%1 Files</source>
        <translation>出错!!!共有%1 个文件</translation>
    </message>
    <message>
        <source>(%1 entries unreadable: %2)</source>
        <translation>（%1 个条目无法读取：%2）</translation>
    </message>
    <message>
        <source>Sum:%1  files</source>
        <translation>共有%1 个文件</translation>
    </message>
    <message>
        <source>%1 Files</source>
        <translation>共有%1 个文件</translation>
    </message>
    <message>
        <source>These documents could not be read from the cache:</source>
        <translation>以下文献无法从缓存中读取：</translation>
    </message>
    <message>
        <source>Copy Files：%1  files...</source>
        <translation>复制文件：%1 个文件...</translation>
    </message>
</context>
<context>
    <name>harvly::fOption</name>
    <message>
        <source>First way (supports HTTP, single-threaded, proxy server download)</source>
        <translation>第一种方式（支持HTTP，单线程，可通过代理服务器下载）</translation>
    </message>
    <message>
        <source>Download Second way (supports HTTP, multi-threaded download)</source>
        <translation>第二种方式（支持HTTP，多线程下载）</translation>
    </message>
    <message>
        <source>Download using a proxy server</source>
        <translation>使用代理服务器下载</translation>
    </message>
    <message>
        <source>When extracting pages of information, tips download save path</source>
        <translation>提取网页信息时，提示下载保存路径</translation>
    </message>
    <message>
        <source>Look for a newer version at start</source>
        <translation>启动时检查是否有新版本</translation>
    </message>
    <message>
        <source>Download Mode:</source>
        <translation>下载方式：</translation>
    </message>
    <message>
        <source>IP:</source>
        <translation>网址：</translation>
    </message>
    <message>
        <source>(e.g. 192.168.0.1 or proxy.example.org)</source>
        <translation>(如：192.168.0.1 或者 proxy.example.org 等等)</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>端口：</translation>
    </message>
    <message>
        <source>(e.g. 3128 or 80)</source>
        <translation>(如：3128 或者 80 等等)</translation>
    </message>
    <message>
        <source>Download files no larger than (MB):</source>
        <translation>下载文件大小不超过：       MB</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Proxy URL or port wrong format!</source>
        <translation>代理服务器网址或者端口格式不对！</translation>
    </message>
    <message>
        <source>A downloaded PDF without its end is a failed download</source>
        <translation>下载的PDF没有结尾标记时，视为下载失败</translation>
    </message>
    <message>
        <source>Tries again after a cut connection:</source>
        <translation>连接中断后重试次数：</translation>
    </message>
    <message>
        <source>DOI resolver:</source>
        <translation>DOI 解析地址：</translation>
    </message>
    <message>
        <source>The DOI resolver must be an http or https address!</source>
        <translation>DOI 解析地址必须是 http 或 https 地址！</translation>
    </message>
    <message>
        <source>Citation exports link the files by absolute paths</source>
        <translation>导出题录时以绝对路径链接文件</translation>
    </message>
    <message>
        <source>Check that each PDF opens and carries its title</source>
        <translation>检查每个PDF能否打开并包含其标题</translation>
    </message>
</context>
<context>
    <name>harvly::fSeleFileSavePath</name>
    <message>
        <source>The original file name</source>
        <translation>原始文件名</translation>
    </message>
    <message>
        <source>Article Title Name</source>
        <translation>文章标题名</translation>
    </message>
    <message>
        <source>Select download save path－</source>
        <translation>选择下载保存路径－</translation>
    </message>
    <message>
        <source>Save to Folder:</source>
        <translation>保存到文件夹：</translation>
    </message>
    <message>
        <source>Save the file name:</source>
        <translation>保存的文件名：</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Please select the folder you want to browse:</source>
        <translation>请选择要浏览的文件夹:</translation>
    </message>
</context>
<context>
    <name>harvly::fWebSearch</name>
    <message>
        <source>ProQuest data retrieval and Analysis</source>
        <translation>ProQuest数据检索与分析</translation>
    </message>
    <message>
        <source>List to be downloaded:</source>
        <translation>待下载列表：</translation>
    </message>
    <message>
        <source>Double-click Browse</source>
        <translation>双击浏览</translation>
    </message>
    <message>
        <source>Add this page to list</source>
        <translation>加入本页到列表</translation>
    </message>
    <message>
        <source>Add all pages to list</source>
        <translation>加入全部到列表</translation>
    </message>
    <message>
        <source>Analysis to download</source>
        <translation>分析并下载</translation>
    </message>
    <message>
        <source>Output data...</source>
        <translation>输出数据...</translation>
    </message>
    <message>
        <source>Automatic analysis failed items and items not analyzed</source>
        <translation>自动分析失败项和未分析项</translation>
    </message>
    <message>
        <source>While add HTM format</source>
        <translation>同时加入HTM格式</translation>
    </message>
    <message>
        <source>Analysis speed delay:</source>
        <translation>分析速度延时：</translation>
    </message>
    <message>
        <source>Sec</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>Analyzing, please wait ...</source>
        <translation>正在分析，请稍候 ...</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>加入</translation>
    </message>
    <message>
        <source>Analysis Unanalyzed Items</source>
        <translation>分析未分析项</translation>
    </message>
    <message>
        <source>Analysis Failure Items</source>
        <translation>分析失败项</translation>
    </message>
    <message>
        <source>Analysis Select Items</source>
        <translation>分析选中项</translation>
    </message>
    <message>
        <source>Analysis All Items</source>
        <translation>分析全部项</translation>
    </message>
    <message>
        <source>Browse(&amp;B)</source>
        <translation>浏览(&amp;B)</translation>
    </message>
    <message>
        <source>Open Proquest Search Home Page</source>
        <translation>打开ProQuest检索首页</translation>
    </message>
    <message>
        <source>Open Assigned URL...</source>
        <translation>打开指定网址...</translation>
    </message>
    <message>
        <source>Add Bulk Document URLs</source>
        <translation>批量加入文献网址</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>后退</translation>
    </message>
    <message>
        <source>Forword</source>
        <translation>前进</translation>
    </message>
    <message>
        <source>Close This Window</source>
        <translation>关闭本窗口</translation>
    </message>
    <message>
        <source>Clear(&amp;C)</source>
        <translation>清除(&amp;C)</translation>
    </message>
    <message>
        <source>Clear Select Items</source>
        <translation>清除选中项</translation>
    </message>
    <message>
        <source>Clear Analysis Success Items</source>
        <translation>清除分析成功项</translation>
    </message>
    <message>
        <source>Clear Title Containing Specified word Items</source>
        <translation>清除标题包含指定词的项</translation>
    </message>
    <message>
        <source>Clear Title Not Containing Specified word Items</source>
        <translation>清除标题不包含指定词的项</translation>
    </message>
    <message>
        <source>ClearAll</source>
        <translation>全部清除</translation>
    </message>
    <message>
        <source>Tool(&amp;T)</source>
        <translation>工具(&amp;T)</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Open Download Window</source>
        <translation>打开下载窗口</translation>
    </message>
    <message>
        <source>Check IE cach</source>
        <translation>查看浏览器缓存</translation>
    </message>
    <message>
        <source>Clear IE cach</source>
        <translation>清除浏览器缓存</translation>
    </message>
    <message>
        <source>Save the page source</source>
        <translation>保存网页源代码</translation>
    </message>
    <message>
        <source>Hple(&amp;H)</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>About(&amp;A)</source>
        <translation>关于(&amp;A)</translation>
    </message>
    <message>
        <source>please enter...</source>
        <translation>请输入...</translation>
    </message>
    <message>
        <source>Please enter the need to open the URL:</source>
        <translation>请输入需要打开的网址：</translation>
    </message>
    <message>
        <source>Stop Add all pages</source>
        <translation>停止加入全部</translation>
    </message>
    <message>
        <source>Being analyzed, it can not be removed!</source>
        <translation>正在分析，不能清除！</translation>
    </message>
    <message>
        <source>Please enter the specified character:</source>
        <translation>请输入指定的字符：</translation>
    </message>
    <message>
        <source>Are you sure to clear the data list of hard search it?</source>
        <translation>确定要清除检索到的数据列表吗？</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Save the file is complete:</source>
        <translation>保存文件完毕：</translation>
    </message>
    <message>
        <source>No data Oh!</source>
        <translation>列表没有数据哦！</translation>
    </message>
    <message>
        <source>Export Citations...</source>
        <translation>导出题录...</translation>
    </message>
    <message>
        <source>All Items</source>
        <translation>所有项目</translation>
    </message>
    <message>
        <source>Select Items</source>
        <translation>选中项</translation>
    </message>
</context>
<context>
    <name>harvly::frmAbout</name>
    <message>
        <source>Loading, please wait ...</source>
        <translation>正在加载，请稍候 ...</translation>
    </message>
    <message>
        <source>Copy Information</source>
        <translation>复制信息</translation>
    </message>
    <message>
        <source>System Information(&amp;S)...</source>
        <translation>系统信息(&amp;S)...</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>About [%1]</source>
        <translation>关于『%1』</translation>
    </message>
    <message>
        <source>Version: </source>
        <translation>版本：</translation>
    </message>
    <message>
        <source>Home page</source>
        <translation>主页</translation>
    </message>
    <message>
        <source>Latest version</source>
        <translation>最新版本</translation>
    </message>
    <message>
        <source>Operating System:</source>
        <translation>操作系统：</translation>
    </message>
</context>
<context>
    <name>harvly::usrDir</name>
    <message>
        <source>Loading...</source>
        <translation>正在加载...</translation>
    </message>
    <message>
        <source>Function failed!</source>
        <translation>Function failed!</translation>
    </message>
    <message>
        <source>Desktop</source>
        <translation>桌面</translation>
    </message>
    <message>
        <source>Documents</source>
        <translation>我的文档</translation>
    </message>
    <message>
        <source>Computer</source>
        <translation>我的电脑</translation>
    </message>
    <message>
        <source>Local Disk</source>
        <translation>本地磁盘</translation>
    </message>
    <message>
        <source>Removable Disk</source>
        <translation>可移动磁盘</translation>
    </message>
</context>
</TS>
