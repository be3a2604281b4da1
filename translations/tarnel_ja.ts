<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>Reasons</name>
    <message>
        <source>main address %s is also used by %s</source>
        <translation>メインIP %s はほかのデバイスも使っています: %s</translation>
    </message>
    <message>
        <source>main address %s is in none of this computer's subnets (only a router reaches it)</source>
        <translation>メインIP %s はこのコンピューターのどのサブネットにもありません (ルーター越しでしか届きません)</translation>
    </message>
    <message>
        <source>gateway %s is not in its own subnet (mask %s)</source>
        <translation>デフォルトゲートウェイ %s が自分のサブネットにありません (サブネットマスク %s)</translation>
    </message>
    <message>
        <source>main address %s is a loopback address</source>
        <translation>メインIP %s はループバックアドレスです</translation>
    </message>
    <message>
        <source>main address %s is this computer's own address</source>
        <translation>メインIP %s はこのコンピューター自身のアドレスです</translation>
    </message>
    <message>
        <source>main address %s is its subnet's network address</source>
        <translation>メインIP %s はサブネットのネットワークアドレスです</translation>
    </message>
    <message>
        <source>main address %s is its subnet's broadcast address</source>
        <translation>メインIP %s はサブネットのブロードキャストアドレスです</translation>
    </message>
    <message>
        <source>answers from two addresses: %s and %s</source>
        <translation>2 つのアドレス (%s と %s) から応答しています</translation>
    </message>
    <message>
        <source>answers with two serials: %s and %s</source>
        <translation>2 つのシリアル (%s と %s) で応答しています</translation>
    </message>
</context>
<context>
    <name>Strings</name>
    <message>
        <source>Tarnel</source>
        <translation>Tarnel</translation>
    </message>
    <message>
        <source>Cannot detect this device.</source>
        <translation>このデバイスを検出できません。</translation>
    </message>
    <message>
        <source>Cannot take effect all parameter.</source>
        <translation>すべての設定を反映できませんでした。</translation>
    </message>
    <message>
        <source>Please input a correct date.</source>
        <translation>正しい日付を入力してください。</translation>
    </message>
    <message>
        <source>Please input correct time.</source>
        <translation>正しい時刻を入力してください。</translation>
    </message>
    <message>
        <source>Please input correct GMT.</source>
        <translation>正しいGMT時差を入力してください。</translation>
    </message>
    <message>
        <source>"Unique ID" is a illegal value.</source>
        <translation>「固有ID」の値が正しくありません。</translation>
    </message>
    <message>
        <source>"Main IP" is a illegal value.</source>
        <translation>「メインIP」の値が正しくありません。</translation>
    </message>
    <message>
        <source>"Backup IP" is a illegal value.</source>
        <translation>「バックアップIP」の値が正しくありません。</translation>
    </message>
    <message>
        <source>"Group ID" is a illegal value.</source>
        <translation>「グループID」の値が正しくありません。</translation>
    </message>
    <message>
        <source>"Default Gateway" is a illegal value.</source>
        <translation>「デフォルトゲートウェイ」の値が正しくありません。</translation>
    </message>
    <message>
        <source>"Subnet Mask" is a illegal value.</source>
        <translation>「サブネットマスク」の値が正しくありません。</translation>
    </message>
    <message>
        <source>"Trap1" is a illegal value.</source>
        <translation>「トラップ1」の値が正しくありません。</translation>
    </message>
    <message>
        <source>"Trap2" is a illegal value.</source>
        <translation>「トラップ2」の値が正しくありません。</translation>
    </message>
    <message>
        <source>"Term" is a illegal value.</source>
        <translation>「端末」の値が正しくありません。</translation>
    </message>
    <message>
        <source>"Log" is a illegal value.</source>
        <translation>「ログ」の値が正しくありません。</translation>
    </message>
    <message>
        <source>"OPT IP1" is a illegal value.</source>
        <translation>「オプションIP1」の値が正しくありません。</translation>
    </message>
    <message>
        <source>"OPT IP2" is a illegal value.</source>
        <translation>「オプションIP2」の値が正しくありません。</translation>
    </message>
    <message>
        <source>"OPT IP3" is a illegal value.</source>
        <translation>「オプションIP3」の値が正しくありません。</translation>
    </message>
    <message>
        <source>"OPT Port1" is a illegal value.</source>
        <translation>「オプションポート1」の値が正しくありません。</translation>
    </message>
    <message>
        <source>"OPT Port2" is a illegal value.</source>
        <translation>「オプションポート2」の値が正しくありません。</translation>
    </message>
    <message>
        <source>"OPT Port3" is a illegal value.</source>
        <translation>「オプションポート3」の値が正しくありません。</translation>
    </message>
    <message>
        <source>"Time Out" is a illegal value.</source>
        <translation>「タイムアウト」の値が正しくありません。</translation>
    </message>
    <message>
        <source>The mask value of "Main IP" and "Default Gateway" is different.</source>
        <translation>サブネットマスクを掛けた「メインIP」と「デフォルトゲートウェイ」の値が一致しません。</translation>
    </message>
    <message>
        <source>Cannot save the device file "%s". The list is not saved.</source>
        <translation>デバイスファイル「%s」を保存できません。一覧は保存されていません。</translation>
    </message>
    <message>
        <source>Cannot read the device file "%s": %r. The list is unchanged.</source>
        <translation>デバイスファイル「%s」を読み込めません: %r。一覧は変更されていません。</translation>
    </message>
    <message>
        <source>"%s" is not a device file. The list is unchanged.</source>
        <translation>「%s」はデバイスファイルではありません。一覧は変更されていません。</translation>
    </message>
    <message>
        <source>The device file "%s" holds more devices than the list can hold; devices left out: %n.</source>
        <translation>デバイスファイル「%s」には一覧に入りきらない数のデバイスがあります。読み込まなかったデバイス: %n 台。</translation>
    </message>
    <message>
        <source>The device file "%s" holds %n devices that are not in the list. Saving over it removes them from the file. Save anyway?</source>
        <translation>デバイスファイル「%s」には一覧にないデバイスが %n 台あります。上書き保存するとファイルから削除されます。保存しますか?</translation>
    </message>
    <message>
        <source>Save changes to %s?</source>
        <translation>%s への変更を保存しますか?</translation>
    </message>
    <message>
        <source>The device list is full (256 devices): %n answers from further devices were left out.</source>
        <translation>デバイス一覧がいっぱいです (256 台)。ほかのデバイスからの応答 %n 件を取り込めませんでした。</translation>
    </message>
    <message>
        <source>It is necessary to reboot the device for the reflection of these setting.
May I reboot the device?</source>
        <translation>設定を反映するにはデバイスの再起動が必要です。
デバイスを再起動してもよろしいですか?</translation>
    </message>
    <message>
        <source>%s is not a key of this setting.</source>
        <translation>%s はこの設定のキーではありません。</translation>
    </message>
    <message>
        <source>The device does not report %s.</source>
        <translation>このデバイスは %s を報告していません。</translation>
    </message>
    <message>
        <source>%s is empty: an empty value cannot be sent.</source>
        <translation>%s が空です。空の値は送信できません。</translation>
    </message>
    <message>
        <source>%s is longer than %d characters.</source>
        <translation>%s が %d 文字を超えています。</translation>
    </message>
    <message>
        <source>%s holds a character that cannot be sent (%s).</source>
        <translation>%s に送信できない文字 (%s) が含まれています。</translation>
    </message>
    <message>
        <source>This application is already running.</source>
        <translation>このアプリケーションはすでに起動しています。</translation>
    </message>
</context>
<context>
    <name>TAboutDlg</name>
    <message>
        <source>About Tarnel</source>
        <translation>Tarnel のバージョン情報</translation>
    </message>
    <message>
        <source>Program icon</source>
        <translation>プログラムのアイコン</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Not found Help File.</source>
        <translation>ヘルプファイルが見つかりません。</translation>
    </message>
    <message>
        <source>xdg-open ended with code %1</source>
        <translation>xdg-open が終了コード %1 で終了しました</translation>
    </message>
    <message>
        <source>no program to open it was found (%1)</source>
        <translation>開くプログラムが見つかりません (%1)</translation>
    </message>
    <message>
        <source>Cannot show the help file "%1": %2. Please open it with a web browser.</source>
        <translation>ヘルプファイル「%1」を表示できません: %2。Web ブラウザーで開いてください。</translation>
    </message>
</context>
<context>
    <name>TDeviceGrid</name>
    <message>
        <source>Device Name</source>
        <translation>デバイス名</translation>
    </message>
    <message>
        <source>T-ARC ID</source>
        <translation>T-ARC ID</translation>
    </message>
    <message>
        <source>Serial</source>
        <translation>シリアル</translation>
    </message>
    <message>
        <source>IP Address(M)</source>
        <translation>IPアドレス(メイン)</translation>
    </message>
    <message>
        <source> (Serial %1)</source>
        <translation> (シリアル %1)</translation>
    </message>
    <message>
        <source>Devices</source>
        <translation>デバイス一覧</translation>
    </message>
    <message>
        <source>Devices: %1</source>
        <translation>デバイス: %1 台</translation>
    </message>
    <message>
        <source>Devices: %1 of %2</source>
        <translation>デバイス: %2 台中 %1 台</translation>
    </message>
    <message>
        <source>MAC Address</source>
        <translation>MACアドレス</translation>
    </message>
    <message>
        <source>Backup IP</source>
        <translation>バックアップIP</translation>
    </message>
    <message>
        <source>Group ID</source>
        <translation>グループID</translation>
    </message>
    <message>
        <source>Gateway</source>
        <translation>デフォルトゲートウェイ</translation>
    </message>
    <message>
        <source>Subnet Mask</source>
        <translation>サブネットマスク</translation>
    </message>
    <message>
        <source>Trap1</source>
        <translation>トラップ1</translation>
    </message>
    <message>
        <source>Trap2</source>
        <translation>トラップ2</translation>
    </message>
    <message>
        <source>Term</source>
        <translation>Term</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>OPT IP1</source>
        <translation>OPT IP1</translation>
    </message>
    <message>
        <source>OPT IP2</source>
        <translation>OPT IP2</translation>
    </message>
    <message>
        <source>OPT IP3</source>
        <translation>OPT IP3</translation>
    </message>
    <message>
        <source>OPT Port1</source>
        <translation>OPT ポート1</translation>
    </message>
    <message>
        <source>OPT Port2</source>
        <translation>OPT ポート2</translation>
    </message>
    <message>
        <source>OPT Port3</source>
        <translation>OPT ポート3</translation>
    </message>
    <message>
        <source>Time Out</source>
        <translation>タイムアウト</translation>
    </message>
    <message>
        <source>Contact</source>
        <translation>連絡先</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>設置場所</translation>
    </message>
    <message>
        <source>Unique ID</source>
        <translation>ユニークID</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日時</translation>
    </message>
    <message>
        <source>GMT</source>
        <translation>GMT</translation>
    </message>
</context>
<context>
    <name>TDocument</name>
    <message>
        <source>Device file(*.dat);;All files(*.*)</source>
        <translation>デバイスファイル (*.dat);;すべてのファイル (*.*)</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>CSV エクスポート</translation>
    </message>
    <message>
        <source>CSV file(*.csv);;All files(*.*)</source>
        <translation>CSV ファイル (*.csv);;すべてのファイル (*.*)</translation>
    </message>
    <message>
        <source>Cannot export to "%1": %2.</source>
        <translation>「%1」にエクスポートできません: %2。</translation>
    </message>
</context>
<context>
    <name>TSetDialog</name>
    <message>
        <source>Waiting for the device's answer (up to %1 seconds)...</source>
        <translation>デバイスの応答を待っています (最大 %1 秒)...</translation>
    </message>
    <message>
        <source>This device %1; search again.</source>
        <translation>このデバイスは%1。もう一度検索してください。</translation>
    </message>
</context>
<context>
    <name>TwndDate</name>
    <message>
        <source>&amp;YMD:  </source>
        <translation>年月日(&amp;Y):</translation>
    </message>
    <message>
        <source>&amp;HM:   </source>
        <translation>時分(&amp;H):</translation>
    </message>
    <message>
        <source>&amp;GMT(+): </source>
        <translation>GMT(+)(&amp;G):</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>年</translation>
    </message>
    <message>
        <source>Month</source>
        <translation>月</translation>
    </message>
    <message>
        <source>Day</source>
        <translation>日</translation>
    </message>
    <message>
        <source>Hour</source>
        <translation>時</translation>
    </message>
    <message>
        <source>Minute</source>
        <translation>分</translation>
    </message>
    <message>
        <source>GMT offset</source>
        <translation>GMTとの時差</translation>
    </message>
    <message>
        <source>Date Setup</source>
        <translation>日付設定</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>日時</translation>
    </message>
    <message>
        <source>This computer's &amp;time</source>
        <translation>このコンピューターの時刻(&amp;T)</translation>
    </message>
    <message>
        <source>Send to &amp;All Devices</source>
        <translation>すべてのデバイスに送信(&amp;A)</translation>
    </message>
    <message>
        <source>OK(&amp;O)</source>
        <translation>OK(&amp;O)</translation>
    </message>
    <message>
        <source>Cancel(&amp;C)</source>
        <translation>キャンセル(&amp;C)</translation>
    </message>
    <message>
        <source>This computer's offset from UTC, %1, is not whole hours, which the devices cannot keep. Please type the date, the time and the offset.</source>
        <translation>このコンピューターのUTCとの時差 %1 は1時間単位ではないため、デバイスに設定できません。日付、時刻、時差を入力してください。</translation>
    </message>
    <message>
        <source>This sets the date of every device on the network, the %1 in the list among them. Send it to all devices?</source>
        <translation>ネットワーク上のすべてのデバイス (一覧の %1 台を含む) の日付を設定します。すべてのデバイスに送信しますか?</translation>
    </message>
</context>
<context>
    <name>TwndInfo</name>
    <message>
        <source>Con&amp;tact:     </source>
        <translation>連絡先(&amp;T):</translation>
    </message>
    <message>
        <source>&amp;Name:        </source>
        <translation>名前(&amp;N):</translation>
    </message>
    <message>
        <source>&amp;Location:    </source>
        <translation>設置場所(&amp;L):</translation>
    </message>
    <message>
        <source>&amp;Unique ID:    </source>
        <translation>固有ID(&amp;U):</translation>
    </message>
    <message>
        <source>Infomation Setup</source>
        <translation>情報設定</translation>
    </message>
    <message>
        <source>Infomation</source>
        <translation>情報</translation>
    </message>
    <message>
        <source>OK(&amp;O)</source>
        <translation>OK(&amp;O)</translation>
    </message>
    <message>
        <source>Cancel(&amp;C)</source>
        <translation>キャンセル(&amp;C)</translation>
    </message>
</context>
<context>
    <name>TwndMain</name>
    <message>
        <source>&amp;File</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <source>E&amp;dit</source>
        <translation>編集(&amp;E)</translation>
    </message>
    <message>
        <source>Setup(&amp;M)</source>
        <translation>設定(&amp;M)</translation>
    </message>
    <message>
        <source>Help(&amp;H)</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>開く(&amp;O)...</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>上書き保存(&amp;S)</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>名前を付けて保存(&amp;A)...</translation>
    </message>
    <message>
        <source>&amp;Export CSV...</source>
        <translation>CSV エクスポート(&amp;E)...</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>終了(&amp;X)</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>削除(&amp;D)</translation>
    </message>
    <message>
        <source>All Delete(&amp;L)</source>
        <translation>すべて削除(&amp;L)</translation>
    </message>
    <message>
        <source>Search(&amp;R)</source>
        <translation>検索(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Network...</source>
        <translation>ネットワーク(&amp;N)...</translation>
    </message>
    <message>
        <source>&amp;Infomation...</source>
        <translation>情報(&amp;I)...</translation>
    </message>
    <message>
        <source>Date(&amp;T)...</source>
        <translation>日付(&amp;T)...</translation>
    </message>
    <message>
        <source>&amp;Help...</source>
        <translation>ヘルプ(&amp;H)...</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>バージョン情報(&amp;A)...</translation>
    </message>
    <message>
        <source>Main</source>
        <translation>メイン</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>開く</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>上書き保存</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>検索</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Network</source>
        <translation>ネットワーク設定</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>情報設定</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日付設定</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>ヘルプ</translation>
    </message>
    <message>
        <source>Flagged: %1</source>
        <translation>要確認: %1 台</translation>
    </message>
    <message>
        <source>Point at a marked row to see why it is flagged.</source>
        <translation>印の付いた行を指すと、その理由が表示されます。</translation>
    </message>
    <message>
        <source>No link to the devices: check the network, and close any other program that uses UDP port %1; the link is tried again by itself. (%2)</source>
        <translation>デバイスへのリンクがありません: ネットワークを確認し、UDP ポート %1 を使っているほかのプログラムを終了してください。リンクは自動的に再試行されます。(%2)</translation>
    </message>
    <message>
        <source>Asking the device for its date (up to %1 seconds)...</source>
        <translation>デバイスに日付を問い合わせています (最大 %1 秒)...</translation>
    </message>
    <message>
        <source>Apply &amp;Plan...</source>
        <translation>プランの適用(&amp;P)...</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>コピー(&amp;C)</translation>
    </message>
</context>
<context>
    <name>TwndSearch</name>
    <message>
        <source>Searching...</source>
        <translation>検索中...</translation>
    </message>
    <message>
        <source>Detecting the devices on the network.</source>
        <translation>ネットワーク上のデバイスを検出しています。</translation>
    </message>
    <message>
        <source>Search progress</source>
        <translation>検索の進行状況</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Devices answered so far: %1</source>
        <translation>これまでに応答したデバイス: %1 台</translation>
    </message>
</context>
<context>
    <name>TwndSetup</name>
    <message>
        <source>Main IP:</source>
        <translation>メインIP:</translation>
    </message>
    <message>
        <source>Backup IP:</source>
        <translation>バックアップIP:</translation>
    </message>
    <message>
        <source>Group ID:</source>
        <translation>グループID:</translation>
    </message>
    <message>
        <source>Default Gateway:</source>
        <translation>デフォルトゲートウェイ:</translation>
    </message>
    <message>
        <source>Subnet Mask:</source>
        <translation>サブネットマスク:</translation>
    </message>
    <message>
        <source>Trap1:</source>
        <translation>トラップ1:</translation>
    </message>
    <message>
        <source>Trap2:</source>
        <translation>トラップ2:</translation>
    </message>
    <message>
        <source>Term:</source>
        <translation>端末:</translation>
    </message>
    <message>
        <source>Log:</source>
        <translation>ログ:</translation>
    </message>
    <message>
        <source>OPT IP1:</source>
        <translation>オプションIP1:</translation>
    </message>
    <message>
        <source>OPT IP2:</source>
        <translation>オプションIP2:</translation>
    </message>
    <message>
        <source>OPT IP3:</source>
        <translation>オプションIP3:</translation>
    </message>
    <message>
        <source>OPT Port1:</source>
        <translation>オプションポート1:</translation>
    </message>
    <message>
        <source>OPT Port2:</source>
        <translation>オプションポート2:</translation>
    </message>
    <message>
        <source>OPT Port3:</source>
        <translation>オプションポート3:</translation>
    </message>
    <message>
        <source>Time Out:</source>
        <translation>タイムアウト:</translation>
    </message>
    <message>
        <source>&amp;IP Address</source>
        <translation>IPアドレス(&amp;I)</translation>
    </message>
    <message>
        <source>&amp;SNMP</source>
        <translation>SNMP(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Port</source>
        <translation>ポート(&amp;P)</translation>
    </message>
    <message>
        <source>Option IP Por&amp;t</source>
        <translation>オプションIPポート(&amp;T)</translation>
    </message>
    <message>
        <source>Ti&amp;me Out</source>
        <translation>タイムアウト(&amp;M)</translation>
    </message>
    <message>
        <source>Option IP &amp;Address</source>
        <translation>オプションIPアドレス(&amp;A)</translation>
    </message>
    <message>
        <source>Network Setup</source>
        <translation>ネットワーク設定</translation>
    </message>
    <message>
        <source>OK(&amp;O)</source>
        <translation>OK(&amp;O)</translation>
    </message>
    <message>
        <source>Cancel(&amp;C)</source>
        <translation>キャンセル(&amp;C)</translation>
    </message>
</context>
<context>
    <name>TFindBar</name>
    <message>
        <source>Filter (Ctrl+F)</source>
        <translation>絞り込み (Ctrl+F)</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>絞り込み</translation>
    </message>
</context>
<context>
    <name>TwndPlan</name>
    <message>
        <source>Apply Plan</source>
        <translation>プランの適用</translation>
    </message>
    <message>
        <source>&amp;Apply</source>
        <translation>適用(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Save Results...</source>
        <translation>結果を保存(&amp;S)...</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>閉じる(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>キャンセル(&amp;C)</translation>
    </message>
    <message>
        <source>Save Results</source>
        <translation>結果を保存</translation>
    </message>
    <message>
        <source>CSV file(*.csv);;All files(*.*)</source>
        <translation>CSVファイル(*.csv);;すべてのファイル(*.*)</translation>
    </message>
    <message>
        <source>Cannot read the plan &quot;%1&quot;: %2.</source>
        <translation>プラン &quot;%1&quot; を読めません: %2。</translation>
    </message>
    <message>
        <source>Row</source>
        <translation>行</translation>
    </message>
    <message>
        <source>MAC</source>
        <translation>MAC</translation>
    </message>
    <message>
        <source>Key</source>
        <translation>キー</translation>
    </message>
    <message>
        <source>Problem</source>
        <translation>問題</translation>
    </message>
    <message numerus="yes">
        <source>The plan has %n problem(s); nothing can be sent until they are mended.</source>
        <translation>
            <numerusform>プランに問題が %n 件あります。直すまで何も送信できません。</numerusform>
        </translation>
    </message>
    <message>
        <source>Serial</source>
        <translation>シリアル</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>結果</translation>
    </message>
    <message>
        <source>Changes</source>
        <translation>変更</translation>
    </message>
    <message>
        <source>(reboots)</source>
        <translation>(再起動します)</translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation>変更なし</translation>
    </message>
    <message>
        <source>%1 of %2 devices change; %3 of them reboot.</source>
        <translation>%2 台中 %1 台が変わり、そのうち %3 台が再起動します。</translation>
    </message>
    <message numerus="yes">
        <source>Set the devices as the plan says? %n of them will reboot.</source>
        <translation>
            <numerusform>プランのとおりにデバイスを設定しますか? %n 台が再起動します。</numerusform>
        </translation>
    </message>
    <message>
        <source>Set the devices as the plan says?</source>
        <translation>プランのとおりにデバイスを設定しますか?</translation>
    </message>
    <message>
        <source>Searching to check what the devices now hold...</source>
        <translation>デバイスの現在の設定を確かめるため検索しています...</translation>
    </message>
    <message>
        <source>Done: %1.</source>
        <translation>完了: %1。</translation>
    </message>
    <message>
        <source> (%1 still held by %2)</source>
        <translation> (%1 はまだ %2 が使っています)</translation>
    </message>
    <message>
        <source>, information %1</source>
        <translation>, 情報 %1</translation>
    </message>
    <message>
        <source>Cannot save to &quot;%1&quot;: %2.</source>
        <translation>&quot;%1&quot; に保存できません: %2。</translation>
    </message>
    <message>
        <source>Devices of the plan</source>
        <translation>プランのデバイス</translation>
    </message>
</context>
</TS>
