<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>CommandTable</name>
    <message>
        <source>新規作成(&amp;N)	Ctrl+N</source>
        <translation>&amp;New	Ctrl+N</translation>
    </message>
    <message>
        <source>新規にファイルを作成
新規ファイル</source>
        <translation>Start a new project
New project</translation>
    </message>
    <message>
        <source>開く...(&amp;O)	Ctrl+O</source>
        <translation>&amp;Open...	Ctrl+O</translation>
    </message>
    <message>
        <source>既存のファイルを開く
開く</source>
        <translation>Open an existing project
Open project</translation>
    </message>
    <message>
        <source>上書き保存(&amp;S)	Ctrl+S</source>
        <translation>&amp;Save	Ctrl+S</translation>
    </message>
    <message>
        <source>作業中のファイルを上書きして保存
保存</source>
        <translation>Save the project in its file
Save project</translation>
    </message>
    <message>
        <source>名前を付けて保存(&amp;A)...</source>
        <translation>Save &amp;as...</translation>
    </message>
    <message>
        <source>作業中のファイルを新しい名前で保存
名前をつけて保存</source>
        <translation>Save the project under a new name
Save as</translation>
    </message>
    <message>
        <source>動画出力設定...</source>
        <translation>Movie se&amp;ttings...</translation>
    </message>
    <message>
        <source>動画設定
動画設定</source>
        <translation>Movie settings
Movie settings</translation>
    </message>
    <message>
        <source>動画出力...</source>
        <translation>&amp;Export movie...</translation>
    </message>
    <message>
        <source>動画出力
動画出力</source>
        <translation>Export movie
Export movie</translation>
    </message>
    <message>
        <source>MP4 で出力...</source>
        <translation>Export as &amp;MP4...</translation>
    </message>
    <message>
        <source>MP4 (H.264 + AAC) で出力
MP4 で出力</source>
        <translation>Export as MP4 (H.264 + AAC)
Export as MP4</translation>
    </message>
    <message>
        <source>最近使ったファイル</source>
        <translation>Recent projects</translation>
    </message>
    <message>
        <source>指定のファイルを開く</source>
        <translation>Open this project</translation>
    </message>
    <message>
        <source>環境設定...</source>
        <translation>&amp;Preferences...</translation>
    </message>
    <message>
        <source>アプリケーションの終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>元に戻す(&amp;U)	Ctrl+Z</source>
        <translation>&amp;Undo	Ctrl+Z</translation>
    </message>
    <message>
        <source>直前に行った動作を元に戻す
元に戻す</source>
        <translation>Undo the last edit
Undo</translation>
    </message>
    <message>
        <source>やり直し(&amp;R)	Ctrl+R</source>
        <translation>&amp;Redo	Ctrl+R</translation>
    </message>
    <message>
        <source>直前に行った動作をやりなおす
やりなおす</source>
        <translation>Redo the edit just undone
Redo</translation>
    </message>
    <message>
        <source>貼り付け(&amp;P)	Ctrl+V</source>
        <translation>&amp;Paste	Ctrl+V</translation>
    </message>
    <message>
        <source>クリップボードの内容を貼り付け
貼り付け</source>
        <translation>Paste score text from the clipboard at the cursor
Paste score</translation>
    </message>
    <message>
        <source>再生(&amp;P)	F5</source>
        <translation>&amp;Play	F5</translation>
    </message>
    <message>
        <source>動画付きで再生
再生</source>
        <translation>Play with the score screen following
Play</translation>
    </message>
    <message>
        <source>オーディオ再生(&amp;A)	F6</source>
        <translation>Play &amp;audio only	F6</translation>
    </message>
    <message>
        <source>音声のみ再生
音声再生</source>
        <translation>Play the sound only
Play audio only</translation>
    </message>
    <message>
        <source>停止(&amp;S)	F8</source>
        <translation>&amp;Stop	F8</translation>
    </message>
    <message>
        <source>再生を停止
停止</source>
        <translation>Stop playback
Stop</translation>
    </message>
    <message>
        <source>おすすめできない</source>
        <translation>&amp;Don&apos;t try this at home...</translation>
    </message>
    <message>
        <source>バージョン情報 (&amp;A)...</source>
        <translation>&amp;About Lantrel...</translation>
    </message>
    <message>
        <source>プログラム情報、バージョン、著作権を表示します。
バージョン情報</source>
        <translation>Show the program&apos;s version and build date
About Lantrel</translation>
    </message>
    <message>
        <source>ファイル読み込み...</source>
        <translation>&amp;Place score...</translation>
    </message>
    <message>
        <source>VTQファイルを配置
VTQ配置</source>
        <translation>Place a score file (.vtq) at the cursor
Place score (VTQ)</translation>
    </message>
    <message>
        <source>ここにセルを挿入	Insert</source>
        <translation>&amp;Insert a cell here	Insert</translation>
    </message>
    <message>
        <source>このセルを削除	Del</source>
        <translation>&amp;Delete this cell	Del</translation>
    </message>
    <message>
        <source>ここから右→を削除	Shift+Del</source>
        <translation>Delete from here to the &amp;right →	Shift+Del</translation>
    </message>
    <message>
        <source>ここより←左をクリア</source>
        <translation>← &amp;Clear everything left of here</translation>
    </message>
    <message>
        <source>選択範囲をコピーしてクリップボードに保存
保存</source>
        <translation>Copy the selection to the clipboard
Copy</translation>
    </message>
    <message>
        <source>選択範囲を切り取ってクリップボードに保存
切り取り</source>
        <translation>Cut the selection to the clipboard
Cut</translation>
    </message>
</context>
<context>
    <name>DialogButtons</name>
    <message>
        <source>選択</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>DialogHooks</name>
    <message>
        <source>フォルダ %1 の %2 にアクセスできません。</source>
        <translation>Cannot open %2 in the folder %1.
Choose a folder that holds the sounds, or leave the field empty for the built-in ones.</translation>
    </message>
    <message>
        <source>出力フォルダの選択</source>
        <translation>Choose the output folder</translation>
    </message>
    <message>
        <source>フォルダを選択してください。</source>
        <translation>Choose an output folder.</translation>
    </message>
    <message>
        <source>フォルダにアクセスできません。</source>
        <translation>This folder does not exist or cannot be opened. Choose another one.</translation>
    </message>
    <message>
        <source>ファイル名を指定してください。</source>
        <translation>Enter a file name.</translation>
    </message>
    <message>
        <source>ファイル名に使えない文字が含まれています。</source>
        <translation>This file name cannot be used: it must not be &quot;.&quot; or &quot;..&quot;, nor hold a slash, a backslash or a control character.</translation>
    </message>
</context>
<context>
    <name>ExportRoundsEdits</name>
    <message>
        <source>ループ回数</source>
        <translation>Times played</translation>
    </message>
    <message>
        <source>フェードアウト（秒）</source>
        <translation>Fade-out (seconds)</translation>
    </message>
</context>
<context>
    <name>FileFailureText</name>
    <message>
        <source>ファイルが見つかりません。</source>
        <translation>The file does not exist.</translation>
    </message>
    <message>
        <source>これはフォルダです。</source>
        <translation>This is a folder.</translation>
    </message>
    <message>
        <source>普通のファイルではありません（名前付きパイプや装置は開けません）。</source>
        <translation>This is not a regular file (named pipes and devices cannot be opened).</translation>
    </message>
    <message>
        <source>大きすぎます。プロジェクトファイルは 256 MB までです。</source>
        <translation>The file is too large: a project file is at most 256 MB.</translation>
    </message>
    <message>
        <source>読む権限がありません。</source>
        <translation>You do not have permission to read it.</translation>
    </message>
    <message>
        <source>読み込みに失敗しました。</source>
        <translation>Reading it failed.</translation>
    </message>
    <message>
        <source>保存先のフォルダがありません。</source>
        <translation>The folder to save in does not exist.</translation>
    </message>
    <message>
        <source>このフォルダに書き込む権限がありません。</source>
        <translation>You do not have permission to write in this folder.</translation>
    </message>
    <message>
        <source>同じ名前のフォルダがあります。</source>
        <translation>A folder of that name is in the way.</translation>
    </message>
    <message>
        <source>ディスクがいっぱいです。</source>
        <translation>The disk is full.</translation>
    </message>
    <message>
        <source>書き込みに失敗しました。ディスクの空きを確かめてください。</source>
        <translation>Writing failed. Check that the disk has free space.</translation>
    </message>
    <message>
        <source>ファイルが途中で切れています。</source>
        <translation>The file is cut short.</translation>
    </message>
    <message>
        <source>レーンのデータが壊れています。</source>
        <translation>The lanes&apos; data is damaged.</translation>
    </message>
    <message>
        <source>ファイルが壊れています。</source>
        <translation>The file is damaged.</translation>
    </message>
    <message>
        <source>動画出力中は保存できません。</source>
        <translation>The project cannot be saved while a movie is being exported.</translation>
    </message>
    <message>
        <source>動画出力中は開けません。</source>
        <translation>A project cannot be opened while a movie is being exported.</translation>
    </message>
    <message>
        <source>%1 に保存できませんでした。

%2</source>
        <translation>Could not save to %1.

%2</translation>
    </message>
    <message>
        <source>%1 は楽譜ファイル（.vtq）で、プロジェクトとしては開けません。

楽譜は、プロジェクトを開いてからウィンドウにドロップするか、セルをダブルクリックして配置してください。</source>
        <translation>%1 is a score file (.vtq) and cannot be opened as a project.

To place a score, open a project first, then drop the score on the window or double-click a cell.</translation>
    </message>
    <message>
        <source>%1 はプロジェクトファイルとして読めません。

%2</source>
        <translation>%1 cannot be read as a project file.

%2</translation>
    </message>
    <message>
        <source>%1 を開けませんでした。

%2</source>
        <translation>Could not open %1.

%2</translation>
    </message>
</context>
<context>
    <name>ProgressBox</name>
    <message>
        <source>MP4 出力中…</source>
        <translation>Writing MP4…</translation>
    </message>
    <message>
        <source>AVI 出力中…</source>
        <translation>Writing AVI…</translation>
    </message>
    <message>
        <source>WAV 出力中…</source>
        <translation>Writing WAV…</translation>
    </message>
    <message>
        <source>AVI 結合中…</source>
        <translation>Joining AVI…</translation>
    </message>
    <message>
        <source>何かを出力中…</source>
        <translation>Writing…</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>CANCEL</translation>
    </message>
</context>
<context>
    <name>RecoveryCopies</name>
    <message>
        <source>無題</source>
        <translation>Untitled</translation>
    </message>
</context>
<context>
    <name>ResourceSetup</name>
    <message>
        <source>セットアップがうまくいかないので終了します。
実はヴェルトシーケンサを起動した状態でこのプログラムを起動すると
セットアップを自動的に行います。一度試してみてください。
さようなら。</source>
        <translation>Setup did not work out, so Lantrel closes now.
Here is a secret: start Lantrel while Velto Sequencer is running,
and the setup happens by itself. Give it a try.
Goodbye.</translation>
    </message>
</context>
<context>
    <name>lantrel::CAboutDlg</name>
    <message>
        <source>バージョン情報</source>
        <translation>About Lantrel</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>lantrel::CCheatDialog</name>
    <message>
        <source>上段</source>
        <translation>Upper lane</translation>
    </message>
    <message>
        <source>中段</source>
        <translation>Middle lane</translation>
    </message>
    <message>
        <source>下段</source>
        <translation>Lower lane</translation>
    </message>
    <message>
        <source>半音上げる</source>
        <translation>A semitone up</translation>
    </message>
    <message>
        <source>半音下げる</source>
        <translation>A semitone down</translation>
    </message>
    <message>
        <source>しろうとにはおすすめできない</source>
        <translation>Pros only: don&apos;t try this at home</translation>
    </message>
    <message>
        <source>元に戻す</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
</context>
<context>
    <name>lantrel::CLantrelApp</name>
    <message>
        <source>Lantrel Files (*.vtm)</source>
        <translation>Lantrel projects (*.vtm)</translation>
    </message>
    <message>
        <source>%1;;All Files (*)</source>
        <translation>%1;;All files (*)</translation>
    </message>
    <message>
        <source>前回の終了で保存されなかった変更を取っておきました。
%1
開きますか？（「いいえ」で控えを削除します）</source>
        <translation>Changes that were not saved when Lantrel last ended were kept in
%1
Open them? (&quot;No&quot; deletes the kept copy.)</translation>
    </message>
    <message>
        <source>それは読めない</source>
        <translation>Lantrel can&apos;t read that. It opens projects (.vtm) and places scores (.vtq).</translation>
    </message>
    <message>
        <source>動画出力中は新規作成できません。</source>
        <translation>A new project cannot be started while a movie is being exported.</translation>
    </message>
    <message>
        <source>変更あり。保存しとく？</source>
        <translation>You have unsaved changes. Save them?</translation>
    </message>
    <message>
        <source>無題.vtm</source>
        <translation>Untitled.vtm</translation>
    </message>
    <message>
        <source>%1 が見つからないので、最近使ったファイルから外します。</source>
        <translation>%1 was not found, so it is taken off the recent projects.</translation>
    </message>
    <message>
        <source>はい(&amp;Y)</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>いいえ(&amp;N)</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>lantrel::CMainFrame</name>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>再生(&amp;P)</source>
        <translation>&amp;Play</translation>
    </message>
    <message>
        <source>素人には</source>
        <translation>P&amp;ros only</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>無題</source>
        <translation>Untitled</translation>
    </message>
</context>
<context>
    <name>lantrel::CMovieSettingDialog</name>
    <message>
        <source>上段</source>
        <translation>Upper lane</translation>
    </message>
    <message>
        <source>中段</source>
        <translation>Middle lane</translation>
    </message>
    <message>
        <source>下段</source>
        <translation>Lower lane</translation>
    </message>
    <message>
        <source>出力開始</source>
        <translation>Start export</translation>
    </message>
    <message>
        <source>動画出力設定</source>
        <translation>Movie settings</translation>
    </message>
    <message>
        <source>４拍子</source>
        <translation>4/4 time</translation>
    </message>
    <message>
        <source>ヴェルトシーケンサのテンポをエミュレートする</source>
        <translation>Emulate Velto Sequencer&apos;s tempo</translation>
    </message>
    <message>
        <source>TEMPO</source>
        <translation>TEMPO</translation>
    </message>
    <message>
        <source>背景（暗==明）</source>
        <translation>Background (dark == light)</translation>
    </message>
    <message>
        <source>ヴェルトシーケンサ</source>
        <translation>Velto Sequencer</translation>
    </message>
    <message>
        <source>出力する</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>FPS</source>
        <translation>FPS</translation>
    </message>
    <message>
        <source>動画</source>
        <translation>Video</translation>
    </message>
    <message>
        <source>結合（遅い）</source>
        <translation>Join into one AVI (slow)</translation>
    </message>
    <message>
        <source>ステレオ出力</source>
        <translation>Stereo</translation>
    </message>
    <message>
        <source>サンプリングレート</source>
        <translation>Sample rate</translation>
    </message>
    <message>
        <source>音声</source>
        <translation>Sound</translation>
    </message>
    <message>
        <source>パンポット</source>
        <translation>Pan</translation>
    </message>
    <message>
        <source>出力先フォルダ</source>
        <translation>Output folder</translation>
    </message>
    <message>
        <source>ここで指定されたファイル名に拡張子 avi やら wav やらつけて出力します。</source>
        <translation>The files get this name, with .avi, .wav and the like added.</translation>
    </message>
    <message>
        <source>余裕で2Gとかのファイルが出来るので注意してね。結合するとさらに倍必要w</source>
        <translation>Heads up: 2 GB files happen easily. Joining needs twice that, lol</translation>
    </message>
    <message>
        <source>ファイル名</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>%1 文字以内で入力してください。</source>
        <translation>Enter at most %1 characters.</translation>
    </message>
</context>
<context>
    <name>lantrel::CPreferenceDialog</name>
    <message>
        <source>上段</source>
        <translation>Upper lane</translation>
    </message>
    <message>
        <source>中段</source>
        <translation>Middle lane</translation>
    </message>
    <message>
        <source>下段</source>
        <translation>Lower lane</translation>
    </message>
    <message>
        <source>通常、ヴェルトシーケンサのwavesという名前のフォルダを選択します。
この値は新規作成されたプロジェクトの初期値に使用されます。
作成中またはセーブされたプロジェクトは影響を受けません。
空欄だと内蔵WAVが使用されます。説明がＭＳっぽくてごめん。</source>
        <translation>Usually you choose Velto Sequencer&apos;s folder named waves.
New projects start with these folders.
The project being edited and saved ones are not affected.
Left empty, the built-in WAVs are used. Sorry for sounding like a Microsoft manual.</translation>
    </message>
    <message>
        <source>環境設定</source>
        <translation>Preferences</translation>
    </message>
    <message>
        <source>WAV フォルダ</source>
        <translation>WAV folders</translation>
    </message>
    <message>
        <source>言語</source>
        <translation>Language</translation>
    </message>
</context>
<context>
    <name>lantrel::CVtqExeFindDialog</name>
    <message>
        <source>VeltoSeq.exeを見つけます</source>
        <translation>Find VeltoSeq.exe</translation>
    </message>
    <message>
        <source>最初に、ヴェルトシーケンサ（r6またはr7。r5は不可）から動作に必要なビットマップとサウンドを取得します。取得したリソースは rsrc というフォルダに保存されます。

ヴェルトシーケンサ（VeltoSeq.exe）の場所を指定してください。</source>
        <translation>First, Lantrel takes the pictures and sounds it needs from Velto Sequencer (r6 or r7; r5 will not do). They are kept in a folder named rsrc.

Where is Velto Sequencer (VeltoSeq.exe)?</translation>
    </message>
    <message>
        <source>…</source>
        <translation>…</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>lantrel::CVtqGuiView</name>
    <message>
        <source>どうやら失敗した模様。ディスクがいっぱいとか？
あとは開いてるファイルに書きにいったとか。</source>
        <translation>Looks like the export failed. Is the disk full?
Or was it writing to a file that is open somewhere else?</translation>
    </message>
    <message>
        <source>ちょwwwおまwww</source>
        <translation>Whoa, hold on lol. The movie is still exporting: cancel it first.</translation>
    </message>
    <message>
        <source>Velto Sequencer Files(*.vtq)</source>
        <translation>Velto Sequencer scores (*.vtq)</translation>
    </message>
    <message>
        <source>メモリが足りないので再生できません。
</source>
        <translation>Not enough memory to play.
</translation>
    </message>
    <message>
        <source>上段</source>
        <translation>upper lane</translation>
    </message>
    <message>
        <source>中段</source>
        <translation>middle lane</translation>
    </message>
    <message>
        <source>下段</source>
        <translation>lower lane</translation>
    </message>
    <message>
        <source>%1のWAVが %2 個読み込めないので再生できません。
WAVフォルダと内蔵WAV（rsrc）を確かめてください。</source>
        <translation>Cannot play: %2 of the %1&apos;s WAV files cannot be read.
Check the lane&apos;s WAV folder and the built-in WAVs (rsrc).</translation>
    </message>
    <message>
        <source>再生を始められませんでした。</source>
        <translation>Playback could not start.</translation>
    </message>
    <message>
        <source>サウンドを出力できませんでした。
</source>
        <translation>The sound output could not be opened.
</translation>
    </message>
</context>
<context>
    <name>lantrel::CWavAttrDialog</name>
    <message>
        <source>パンポット</source>
        <translation>Pan</translation>
    </message>
    <message>
        <source>中央にする</source>
        <translation>Centre all</translation>
    </message>
    <message>
        <source>ＷＡＶフォルダ</source>
        <translation>WAV folder</translation>
    </message>
    <message>
        <source>LEFT</source>
        <translation>LEFT</translation>
    </message>
    <message>
        <source>RIGHT</source>
        <translation>RIGHT</translation>
    </message>
</context>
<context>
    <name>lantrel::Mp4ExportDialog</name>
    <message>
        <source>MP4 で出力</source>
        <translation>Export as MP4</translation>
    </message>
    <message>
        <source>出力開始</source>
        <translation>Start export</translation>
    </message>
    <message>
        <source>16:9 の黒い画面の中央に置く</source>
        <translation>Centre on a black 16:9 canvas</translation>
    </message>
    <message>
        <source>レーンごとの音声も WAV で書き出す（上段・中段・下段）</source>
        <translation>Also write each lane&apos;s sound as a WAV (stems: upper, middle, lower)</translation>
    </message>
    <message>
        <source>拡大（倍）</source>
        <translation>Scale (×)</translation>
    </message>
    <message>
        <source>画質（CRF：小さいほど高画質）</source>
        <translation>Quality (CRF: lower is better)</translation>
    </message>
    <message>
        <source>動画（H.264 + AAC）</source>
        <translation>Movie (H.264 + AAC)</translation>
    </message>
    <message>
        <source>出力先フォルダ</source>
        <translation>Output folder</translation>
    </message>
    <message>
        <source>ファイル名</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>出力先</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>%1 × %2 ピクセル</source>
        <translation>%1 × %2 pixels</translation>
    </message>
</context>
<context>
    <name>lantrel::NumberEdit</name>
    <message>
        <source>整数を入力してください。</source>
        <translation>Enter a whole number.</translation>
    </message>
    <message>
        <source>%1 から %2 までの整数を入力してください。</source>
        <translation>Enter a whole number from %1 to %2.</translation>
    </message>
</context>
</TS>
