<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>Msgbox</name>
    <message>
        <source>Warning</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Strings</name>
    <message>
        <source>Tarnel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot detect this device.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot take effect all parameter.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please input a correct date.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please input correct time.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please input correct GMT.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;Unique ID&quot; is a illegal value.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;Main IP&quot; is a illegal value.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;Backup IP&quot; is a illegal value.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;Group ID&quot; is a illegal value.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;Default Gateway&quot; is a illegal value.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;Subnet Mask&quot; is a illegal value.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;Trap1&quot; is a illegal value.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;Trap2&quot; is a illegal value.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;Term&quot; is a illegal value.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;Log&quot; is a illegal value.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;OPT IP1&quot; is a illegal value.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;OPT IP2&quot; is a illegal value.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;OPT IP3&quot; is a illegal value.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;OPT Port1&quot; is a illegal value.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;OPT Port2&quot; is a illegal value.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;OPT Port3&quot; is a illegal value.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;Time Out&quot; is a illegal value.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The mask value of &quot;Main IP&quot; and &quot;Default Gateway&quot; is different.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot save the device file &quot;%s&quot;. The list is not saved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot read the device file &quot;%s&quot;: %r. The list is unchanged.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%s&quot; is not a device file. The list is unchanged.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The device file &quot;%s&quot; holds more devices than the list can hold; devices left out: %n.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The device file &quot;%s&quot; holds %n devices that are not in the list. Saving over it removes them from the file. Save anyway?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save changes to %s?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The device list is full (256 devices): %n answers from further devices were left out.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is necessary to reboot the device for the reflection of these setting.
May I reboot the device?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%s is not a key of this setting.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The device does not report %s.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%s is empty: an empty value cannot be sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%s is longer than %d characters.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%s holds a character that cannot be sent (%s).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This application is already running.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
