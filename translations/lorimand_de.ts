<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>lorimand::Banner</name>
    <message>
        <source>GET PAID TO READ E-MAIL!</source>
        <translation>GELD FÜRS E-MAIL-LESEN!</translation>
    </message>
    <message>
        <source>Cash for every message you open. Join free today!</source>
        <translation>Bares für jede geöffnete Nachricht. Jetzt kostenlos mitmachen!</translation>
    </message>
</context>
<context>
    <name>lorimand::ByteTextEdit</name>
    <message>
        <source>There is not enough memory for this; the text is as it was.</source>
        <translation>Dafür reicht der Speicher nicht; der Text ist unverändert.</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>Wieder&amp;herstellen</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>Einf&amp;ügen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alles auswählen</translation>
    </message>
    <message>
        <source>Character &amp;Set</source>
        <translation>&amp;Zeichensatz</translation>
    </message>
    <message>
        <source>&amp;Windows-1252</source>
        <translation>&amp;Windows-1252</translation>
    </message>
    <message>
        <source>&amp;UTF-8</source>
        <translation>&amp;UTF-8</translation>
    </message>
    <message>
        <source>Byte %1: not part of a UTF-8 character</source>
        <translation>Byte %1: gehört zu keinem UTF-8-Zeichen</translation>
    </message>
</context>
<context>
    <name>lorimand::CharsetOffer</name>
    <message>
        <source>Show as &amp;UTF-8</source>
        <translation>Als &amp;UTF-8 anzeigen</translation>
    </message>
    <message>
        <source>Keep &amp;Windows-1252</source>
        <translation>&amp;Windows-1252 beibehalten</translation>
    </message>
    <message>
        <source>&quot;%1&quot; looks like UTF-8 text.</source>
        <translation>„%1“ sieht nach UTF-8-Text aus.</translation>
    </message>
</context>
<context>
    <name>lorimand::FindKeyDialog</name>
    <message>
        <source>Find Key</source>
        <translation>Schlüssel finden</translation>
    </message>
    <message>
        <source>Candidates, best first</source>
        <translation>Kandidaten, der beste zuerst</translation>
    </message>
    <message>
        <source>&amp;Use</source>
        <translation>&amp;Verwenden</translation>
    </message>
</context>
<context>
    <name>lorimand::HelpWindow</name>
    <message>
        <source>Lorimand Help</source>
        <translation>Lorimand-Hilfe</translation>
    </message>
    <message>
        <source>Help text</source>
        <translation>Hilfetext</translation>
    </message>
    <message>
        <source>GET PAID TO RECEIVE E-MAILS ON SUBJECTS OF YOUR CHOICE!!</source>
        <translation>GELD FÜR E-MAILS ZU THEMEN IHRER WAHL!!</translation>
    </message>
    <message>
        <source>There is not enough memory to show it</source>
        <translation>Der Speicher reicht nicht, um sie anzuzeigen</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>The help cannot be shown.

%1: %2</source>
        <translation>Die Hilfe kann nicht angezeigt werden.

%1: %2</translation>
    </message>
    <message>
        <source>No web browser could be started to open the page.

Its address is %1</source>
        <translation>Es konnte kein Webbrowser gestartet werden, um die Seite zu öffnen.

Ihre Adresse ist %1</translation>
    </message>
</context>
<context>
    <name>lorimand::Language</name>
    <message>
        <source>en</source>
        <comment>The code of the language translated into</comment>
        <translation>de</translation>
    </message>
</context>
<context>
    <name>lorimand::MainWindow</name>
    <message>
        <source>Enter a message to encode here . . .</source>
        <translation>Geben Sie hier eine Nachricht zum Kodieren ein . . .</translation>
    </message>
    <message>
        <source>. . . or an encoded message to decode here.</source>
        <translation>. . . oder hier eine kodierte Nachricht zum Entziffern.</translation>
    </message>
    <message>
        <source>Lorimand</source>
        <translation>Lorimand</translation>
    </message>
    <message>
        <source>Normal &amp;Text</source>
        <translation>Klar&amp;text</translation>
    </message>
    <message>
        <source>Encoded Te&amp;xt</source>
        <translation>Geheimte&amp;xt</translation>
    </message>
    <message>
        <source>Normal Text</source>
        <translation>Klartext</translation>
    </message>
    <message>
        <source>Encoded Text</source>
        <translation>Geheimtext</translation>
    </message>
    <message>
        <source>Encryption &amp;Key:</source>
        <translation>&amp;Schlüssel:</translation>
    </message>
    <message>
        <source>&amp;Custom Code:</source>
        <translation>&amp;Codetabelle:</translation>
    </message>
    <message>
        <source>Encryption key</source>
        <translation>Schlüssel</translation>
    </message>
    <message>
        <source>Code table</source>
        <translation>Codetabelle</translation>
    </message>
    <message>
        <source>&amp;Mask</source>
        <translation>&amp;Verdeckt</translation>
    </message>
    <message>
        <source>&amp;Decode</source>
        <translation>&amp;Entziffern</translation>
    </message>
    <message>
        <source>&amp;Encode</source>
        <translation>&amp;Kodieren</translation>
    </message>
    <message>
        <source>&amp;Auto</source>
        <translation>&amp;Auto</translation>
    </message>
    <message>
        <source>&amp;Load Normal Text</source>
        <translation>Klartext &amp;laden</translation>
    </message>
    <message>
        <source>L&amp;oad Encoded Text</source>
        <translation>Geheimtext la&amp;den</translation>
    </message>
    <message>
        <source>&amp;Save Normal Text</source>
        <translation>Klartext s&amp;peichern</translation>
    </message>
    <message>
        <source>Sa&amp;ve Encoded Text</source>
        <translation>Geheimtext speic&amp;hern</translation>
    </message>
    <message>
        <source>Decode</source>
        <translation>Entziffern</translation>
    </message>
    <message>
        <source>Encode</source>
        <translation>Kodieren</translation>
    </message>
    <message>
        <source>Find &amp;Key...</source>
        <translation>Schlüssel &amp;finden …</translation>
    </message>
    <message>
        <source>Load Normal Text</source>
        <translation>Klartext laden</translation>
    </message>
    <message>
        <source>Load Encoded Text</source>
        <translation>Geheimtext laden</translation>
    </message>
    <message>
        <source>Save Normal Text As</source>
        <translation>Klartext speichern unter</translation>
    </message>
    <message>
        <source>Save Encoded Text As</source>
        <translation>Geheimtext speichern unter</translation>
    </message>
    <message>
        <source>The text is too large for the memory there is; both areas keep what they held. lorimand-cli translates files of any size.</source>
        <translation>Der Text ist zu groß für den vorhandenen Speicher; beide Bereiche behalten ihren Inhalt. lorimand-cli übersetzt Dateien jeder Größe.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Number error.  Please restart the program.</source>
        <translation>Zahlenfehler. Bitte starten Sie das Programm neu.</translation>
    </message>
    <message>
        <source>Error loading custom code.

%1: %2</source>
        <translation>Fehler beim Laden der Codetabelle.

%1: %2</translation>
    </message>
    <message>
        <source>Opening the help ...</source>
        <translation>Die Hilfe wird geöffnet …</translation>
    </message>
    <message>
        <source>Find Key</source>
        <translation>Schlüssel finden</translation>
    </message>
    <message>
        <source>There is no encoded text to find the key of.</source>
        <translation>Es gibt keinen Geheimtext, dessen Schlüssel gesucht werden könnte.</translation>
    </message>
    <message>
        <source>Shift %1</source>
        <translation>Verschiebung %1</translation>
    </message>
    <message>
        <source>Shift %1, key %2</source>
        <translation>Verschiebung %1, Schlüssel %2</translation>
    </message>
    <message>
        <source>There are no code tables to try.</source>
        <translation>Es gibt keine Codetabellen zum Ausprobieren.</translation>
    </message>
    <message>
        <source>The likeliest keys of the encoded text, best first. The key-shift mode has only 255 shifts, which is why it hides a text only from a casual reader.</source>
        <translation>Die wahrscheinlichsten Schlüssel des Geheimtexts, der beste zuerst. Die Verschiebung mit Schlüssel kennt nur 255 Verschiebungen; deshalb verbirgt sie einen Text nur vor flüchtigen Lesern.</translation>
    </message>
    <message>
        <source>The code tables that decode the encoded text best, best first.</source>
        <translation>Die Codetabellen, die den Geheimtext am besten entziffern, die beste zuerst.</translation>
    </message>
    <message>
        <source>A text this long is judged by a sample spread over all of it.</source>
        <translation>Ein so langer Text wird nach einer Stichprobe aus dem ganzen Text beurteilt.</translation>
    </message>
    <message>
        <source>The settings file is not used as it is.

%1</source>
        <translation>Die Einstellungsdatei wird nicht so verwendet, wie sie ist.

%1</translation>
    </message>
    <message>
        <source>Closing</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>The encryption key holds a line break or is longer than %1 MiB, which the settings file cannot hold, so this key cannot be remembered.  The settings keep the previous default key.</source>
        <translation>Der Schlüssel enthält einen Zeilenumbruch oder ist länger als %1 MiB. Das kann die Einstellungsdatei nicht aufnehmen, daher kann dieser Schlüssel nicht gespeichert werden. Die Einstellungen behalten den bisherigen Standardschlüssel.</translation>
    </message>
    <message>
        <source>The encryption key has changed.  Would you like to save the new key as the default?</source>
        <translation>Der Schlüssel wurde geändert. Möchten Sie den neuen Schlüssel als Standard speichern?</translation>
    </message>
    <message>
        <source>The settings could not be saved.

%1</source>
        <translation>Die Einstellungen konnten nicht gespeichert werden.

%1</translation>
    </message>
    <message>
        <source>Normal Text has not been saved.</source>
        <translation>Der Klartext wurde nicht gespeichert.</translation>
    </message>
    <message>
        <source>Encoded Text has not been saved.</source>
        <translation>Der Geheimtext wurde nicht gespeichert.</translation>
    </message>
    <message>
        <source>Restored</source>
        <translation>Wiederhergestellt</translation>
    </message>
    <message>
        <source>%1 was being saved when that save was interrupted. It is restored from its journal as it was before that save.</source>
        <translation>%1 wurde gerade gespeichert, als das Speichern unterbrochen wurde. Die Datei ist aus ihrem Journal so wiederhergestellt, wie sie vor diesem Speichern war.</translation>
    </message>
    <message>
        <source>Cannot read &quot;%1&quot;:
%2</source>
        <translation>„%1“ kann nicht gelesen werden:
%2</translation>
    </message>
    <message>
        <source>Loading %1 ...</source>
        <translation>%1 wird geladen …</translation>
    </message>
    <message>
        <source>It is larger than the %1 MiB the window holds; lorimand-cli translates files of any size.</source>
        <translation>Die Datei ist größer als die %1 MiB, die das Fenster aufnimmt; lorimand-cli übersetzt Dateien jeder Größe.</translation>
    </message>
    <message>
        <source>Saving %1 ...</source>
        <translation>%1 wird gespeichert …</translation>
    </message>
    <message>
        <source>There is not enough memory to put the text together; the file was not touched</source>
        <translation>Der Speicher reicht nicht, um den Text zusammenzusetzen; die Datei ist unberührt</translation>
    </message>
    <message>
        <source>Cannot save &quot;%1&quot;:
%2</source>
        <translation>„%1“ kann nicht gespeichert werden:
%2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is saved, with a warning:
%2</source>
        <translation>„%1“ ist gespeichert, mit einer Warnung:
%2</translation>
    </message>
    <message>
        <source>&amp;New Code Table...</source>
        <translation>&amp;Neue Codetabelle …</translation>
    </message>
    <message>
        <source>Decoding cannot tell %1 from %2: both encode as %3</source>
        <translation>Das Entziffern kann %1 und %2 nicht unterscheiden: Beide werden zu %3 kodiert</translation>
    </message>
    <message>
        <source>Decoding cannot tell %1 apart: all encode as %2</source>
        <translation>Das Entziffern kann %1 nicht unterscheiden: Alle werden zu %2 kodiert</translation>
    </message>
    <message>
        <source>%1 encodes as %2, which decodes as %3</source>
        <translation>%1 wird zu %2 kodiert, das zu %3 entziffert wird</translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>und %n weiteres</numerusform>
            <numerusform>und %n weitere</numerusform>
        </translation>
    </message>
    <message>
        <source>Custom Code</source>
        <translation>Codetabelle</translation>
    </message>
    <message>
        <source>The code table &quot;%1&quot; cannot be decoded:</source>
        <translation>Die Codetabelle „%1“ kann nicht entziffert werden:</translation>
    </message>
    <message>
        <source>There is no folder for your own code tables: neither XDG_DATA_HOME nor HOME is set.</source>
        <translation>Es gibt keinen Ordner für eigene Codetabellen: Weder XDG_DATA_HOME noch HOME ist gesetzt.</translation>
    </message>
    <message>
        <source>New Code Table</source>
        <translation>Neue Codetabelle</translation>
    </message>
    <message>
        <source>You have a code table called &quot;%1&quot; already. Replace it?</source>
        <translation>Sie haben bereits eine Codetabelle namens „%1“. Möchten Sie sie ersetzen?</translation>
    </message>
    <message>
        <source>code %1</source>
        <translation>Code %1</translation>
    </message>
    <message>
        <source>Interrupted Save</source>
        <translation>Unterbrochenes Speichern</translation>
    </message>
    <message>
        <source>%1 was being saved when that save was interrupted, and it may have been changed since by another program, so it is kept as it is. Its text from before that save is in %2.</source>
        <translation>%1 wurde gerade gespeichert, als das Speichern unterbrochen wurde, und die Datei wurde seitdem möglicherweise von einem anderen Programm geändert. Deshalb bleibt sie, wie sie ist. Ihr Text von vor diesem Speichern steht in %2.</translation>
    </message>
    <message>
        <source>After a CR, %1 encodes as %2, which decodes as %3</source>
        <translation>Nach einem CR wird %1 zu %2 kodiert, das zu %3 entziffert wird</translation>
    </message>
    <message>
        <source>There is not enough memory to finish this. lorimand-cli translates files of any size.</source>
        <translation>Der vorhandene Speicher reicht nicht, um dies zu Ende zu führen. lorimand-cli übersetzt Dateien jeder Größe.</translation>
    </message>
</context>
<context>
    <name>lorimand::NewTableDialog</name>
    <message>
        <source>Shuffle the letters</source>
        <translation>Buchstaben mischen</translation>
    </message>
    <message>
        <source>Shuffle every printable character</source>
        <translation>Alle druckbaren Zeichen mischen</translation>
    </message>
    <message>
        <source>Shift the letters (ROT-N)</source>
        <translation>Buchstaben verschieben (ROT-N)</translation>
    </message>
    <message>
        <source>Reverse the alphabet</source>
        <translation>Alphabet umkehren</translation>
    </message>
    <message>
        <source>Keyword alphabet</source>
        <translation>Schlüsselwort-Alphabet</translation>
    </message>
    <message>
        <source>The quick brown fox jumps over the lazy dog.</source>
        <translation>Victor jagt zwölf Boxkämpfer quer über den großen Sylter Deich.</translation>
    </message>
    <message>
        <source>Give the table a name.</source>
        <translation>Geben Sie der Tabelle einen Namen.</translation>
    </message>
    <message>
        <source>A name cannot hold &quot;/&quot;.</source>
        <translation>Ein Name darf kein „/“ enthalten.</translation>
    </message>
    <message>
        <source>A name cannot start with a dot: the list leaves such files out.</source>
        <translation>Ein Name darf nicht mit einem Punkt beginnen: Die Liste lässt solche Dateien aus.</translation>
    </message>
    <message>
        <source>A name cannot start or end with a blank.</source>
        <translation>Ein Name darf nicht mit einem Leerzeichen beginnen oder enden.</translation>
    </message>
    <message>
        <source>The name is too long for a file name.</source>
        <translation>Der Name ist zu lang für einen Dateinamen.</translation>
    </message>
    <message>
        <source>New Code Table</source>
        <translation>Neue Codetabelle</translation>
    </message>
    <message>
        <source>&amp;Kind:</source>
        <translation>&amp;Art:</translation>
    </message>
    <message>
        <source>S&amp;hift by:</source>
        <translation>&amp;Verschiebung:</translation>
    </message>
    <message>
        <source>Key&amp;word:</source>
        <translation>Schlüssel&amp;wort:</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>Shuffle &amp;Again</source>
        <translation>Neu &amp;mischen</translation>
    </message>
    <message>
        <source>Preview:</source>
        <translation>Vorschau:</translation>
    </message>
    <message>
        <source>A code table is a simple substitution: counting letters breaks it. It hides a text from a casual reader only.</source>
        <translation>Eine Codetabelle ist eine einfache Ersetzung: Das Zählen der Buchstaben knackt sie. Sie verbirgt einen Text nur vor flüchtigen Lesern.</translation>
    </message>
    <message>
        <source>A keyword holds one or more of the letters a to z, and nothing else.</source>
        <translation>Ein Schlüsselwort enthält einen oder mehrere der Buchstaben a bis z und sonst nichts.</translation>
    </message>
    <message>
        <source>The system gives no random numbers, so no table can be shuffled.</source>
        <translation>Das System liefert keine Zufallszahlen, daher kann keine Tabelle gemischt werden.</translation>
    </message>
</context>
<context>
    <name>lorimand::QtPlatform</name>
    <message>
        <source>Save...</source>
        <translation>Speichern …</translation>
    </message>
    <message>
        <source>Text Documents (*.txt);;All Files (*)</source>
        <translation>Textdokumente (*.txt);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist.

Choose a folder that exists.</source>
        <translation>Der Ordner „%1“ existiert nicht.

Wählen Sie einen vorhandenen Ordner.</translation>
    </message>
</context>
<context>
    <name>lorimand::SettingsFile</name>
    <message>
        <source>%1. The settings are kept in %2 instead.</source>
        <translation>%1. Die Einstellungen werden stattdessen in %2 gespeichert.</translation>
    </message>
    <message>
        <source>%1: its key line is longer than %2 MiB, so that key is not applied.</source>
        <translation>%1: Die Schlüsselzeile ist länger als %2 MiB, daher wird dieser Schlüssel nicht verwendet.</translation>
    </message>
    <message>
        <source>%1. The settings could not be read when the program started, so they are kept as they were.</source>
        <translation>%1. Die Einstellungen konnten beim Programmstart nicht gelesen werden und bleiben daher, wie sie waren.</translation>
    </message>
    <message>
        <source>%1: another copy of Lorimand is still saving its settings</source>
        <translation>%1: Eine andere Lorimand-Instanz speichert noch ihre Einstellungen</translation>
    </message>
    <message>
        <source>%1: the settings would be larger than the %2 MiB the program reads, so the file is kept as it was</source>
        <translation>%1: Die Einstellungen wären größer als die %2 MiB, die das Programm liest, daher bleibt die Datei, wie sie war</translation>
    </message>
</context>
<context>
    <name>lorimand::StepProgress</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Lorimand</source>
        <translation>Lorimand</translation>
    </message>
</context>
<context>
    <name>lorimand::displaytext</name>
    <message>
        <source>A character was left out: the program&apos;s character set, Windows-1252, cannot hold it.</source>
        <translation>Ein Zeichen wurde weggelassen: Der Zeichensatz des Programms, Windows-1252, enthält es nicht.</translation>
    </message>
    <message>
        <source>“%1”</source>
        <translation>„%1“</translation>
    </message>
    <message>
        <source>Left out: %1. The program&apos;s character set, Windows-1252, cannot hold it.</source>
        <translation>Weggelassen: %1. Der Zeichensatz des Programms, Windows-1252, enthält es nicht.</translation>
    </message>
    <message>
        <source>Left out: %1. The program&apos;s character set, Windows-1252, cannot hold them.</source>
        <translation>Weggelassen: %1. Der Zeichensatz des Programms, Windows-1252, enthält sie nicht.</translation>
    </message>
</context>
</TS>
