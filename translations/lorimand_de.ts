<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>lorimand::Banner</name>
    <message>
        <source>GET PAID TO READ E-MAIL!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cash for every message you open. Join free today!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>lorimand::ByteTextEdit</name>
    <message>
        <source>There is not enough memory for this; the text is as it was.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Character &amp;Set</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Windows-1252</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;UTF-8</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Byte %1: not part of a UTF-8 character</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>lorimand::CharsetOffer</name>
    <message>
        <source>Show as &amp;UTF-8</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep &amp;Windows-1252</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; looks like UTF-8 text.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>lorimand::FindKeyDialog</name>
    <message>
        <source>Find Key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Candidates, best first</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Use</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>lorimand::HelpWindow</name>
    <message>
        <source>Lorimand Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Help text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>GET PAID TO RECEIVE E-MAILS ON SUBJECTS OF YOUR CHOICE!!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is not enough memory to show it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The help cannot be shown.

%1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No web browser could be started to open the page.

Its address is %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>lorimand::Language</name>
    <message>
        <source>en</source>
        <comment>The code of the language translated into</comment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>lorimand::MainWindow</name>
    <message>
        <source>Enter a message to encode here . . .</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>. . . or an encoded message to decode here.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lorimand</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Normal &amp;Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Encoded Te&amp;xt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Normal Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Encoded Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Encryption &amp;Key:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Custom Code:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Encryption key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Code table</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Mask</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Decode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Encode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Auto</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Load Normal Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>L&amp;oad Encoded Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save Normal Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sa&amp;ve Encoded Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Decode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Encode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find &amp;Key...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load Normal Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load Encoded Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Normal Text As</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Encoded Text As</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The text is too large for the memory there is; both areas keep what they held. lorimand-cli translates files of any size.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Number error.  Please restart the program.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error loading custom code.

%1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Opening the help ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find Key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is no encoded text to find the key of.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shift %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shift %1, key %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There are no code tables to try.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The likeliest keys of the encoded text, best first. The key-shift mode has only 255 shifts, which is why it hides a text only from a casual reader.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The code tables that decode the encoded text best, best first.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A text this long is judged by a sample spread over all of it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The settings file is not used as it is.

%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Closing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The encryption key holds a line break or is longer than %1 MiB, which the settings file cannot hold, so this key cannot be remembered.  The settings keep the previous default key.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The encryption key has changed.  Would you like to save the new key as the default?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The settings could not be saved.

%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Normal Text has not been saved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Encoded Text has not been saved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restored</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 was being saved when that save was interrupted. It is restored from its journal as it was before that save.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot read &quot;%1&quot;:
%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading %1 ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is larger than the %1 MiB the window holds; lorimand-cli translates files of any size.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saving %1 ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is not enough memory to put the text together; the file was not touched</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot save &quot;%1&quot;:
%2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>lorimand::QtPlatform</name>
    <message>
        <source>Save...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Text Documents (*.txt);;All Files (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist.

Choose a folder that exists.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>lorimand::StepProgress</name>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lorimand</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>lorimand::displaytext</name>
    <message>
        <source>A character was left out: the program&apos;s character set, Windows-1252, cannot hold it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1”</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Left out: %1. The program&apos;s character set, Windows-1252, cannot hold it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Left out: %1. The program&apos;s character set, Windows-1252, cannot hold them.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
