<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>lorimand::Banner</name>
    <message>
        <source>GET PAID TO READ E-MAIL!</source>
        <translation>SOYEZ PAYÉ POUR LIRE VOS E-MAILS&#xa0;!</translation>
    </message>
    <message>
        <source>Cash for every message you open. Join free today!</source>
        <translation>De l’argent pour chaque message ouvert. Inscription gratuite&#xa0;!</translation>
    </message>
</context>
<context>
    <name>lorimand::ByteTextEdit</name>
    <message>
        <source>There is not enough memory for this; the text is as it was.</source>
        <translation>La mémoire ne suffit pas&#xa0;; le texte reste inchangé.</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Rétablir</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Co&amp;uper</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>Cop&amp;ier</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>Co&amp;ller</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Tout sélectionner</translation>
    </message>
    <message>
        <source>Character &amp;Set</source>
        <translation>&amp;Jeu de caractères</translation>
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
        <translation>Octet %1&#xa0;: ne fait partie d’aucun caractère UTF-8</translation>
    </message>
</context>
<context>
    <name>lorimand::CharsetOffer</name>
    <message>
        <source>Show as &amp;UTF-8</source>
        <translation>Afficher en &amp;UTF-8</translation>
    </message>
    <message>
        <source>Keep &amp;Windows-1252</source>
        <translation>Garder &amp;Windows-1252</translation>
    </message>
    <message>
        <source>&quot;%1&quot; looks like UTF-8 text.</source>
        <translation>«&#xa0;%1&#xa0;» semble être du texte UTF-8.</translation>
    </message>
</context>
<context>
    <name>lorimand::FindKeyDialog</name>
    <message>
        <source>Find Key</source>
        <translation>Trouver la clé</translation>
    </message>
    <message>
        <source>Candidates, best first</source>
        <translation>Candidats, le meilleur en premier</translation>
    </message>
    <message>
        <source>&amp;Use</source>
        <translation>&amp;Utiliser</translation>
    </message>
</context>
<context>
    <name>lorimand::HelpWindow</name>
    <message>
        <source>Lorimand Help</source>
        <translation>Aide de Lorimand</translation>
    </message>
    <message>
        <source>Help text</source>
        <translation>Texte d’aide</translation>
    </message>
    <message>
        <source>GET PAID TO RECEIVE E-MAILS ON SUBJECTS OF YOUR CHOICE!!</source>
        <translation>SOYEZ PAYÉ POUR RECEVOIR DES E-MAILS SUR LES SUJETS DE VOTRE CHOIX&#xa0;!!</translation>
    </message>
    <message>
        <source>There is not enough memory to show it</source>
        <translation>La mémoire ne suffit pas pour l’afficher</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>The help cannot be shown.

%1: %2</source>
        <translation>L’aide ne peut pas être affichée.

%1&#xa0;: %2</translation>
    </message>
    <message>
        <source>No web browser could be started to open the page.

Its address is %1</source>
        <translation>Aucun navigateur web n’a pu être lancé pour ouvrir la page.

Son adresse est %1</translation>
    </message>
</context>
<context>
    <name>lorimand::Language</name>
    <message>
        <source>en</source>
        <comment>The code of the language translated into</comment>
        <translation>fr</translation>
    </message>
</context>
<context>
    <name>lorimand::MainWindow</name>
    <message>
        <source>Enter a message to encode here . . .</source>
        <translation>Saisissez ici un message à coder . . .</translation>
    </message>
    <message>
        <source>. . . or an encoded message to decode here.</source>
        <translation>. . . ou ici un message codé à décoder.</translation>
    </message>
    <message>
        <source>Lorimand</source>
        <translation>Lorimand</translation>
    </message>
    <message>
        <source>Normal &amp;Text</source>
        <translation>&amp;Texte normal</translation>
    </message>
    <message>
        <source>Encoded Te&amp;xt</source>
        <translation>Te&amp;xte codé</translation>
    </message>
    <message>
        <source>Normal Text</source>
        <translation>Texte normal</translation>
    </message>
    <message>
        <source>Encoded Text</source>
        <translation>Texte codé</translation>
    </message>
    <message>
        <source>Encryption &amp;Key:</source>
        <translation>&amp;Clé de codage&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Custom Code:</source>
        <translation>Ta&amp;ble de code&#xa0;:</translation>
    </message>
    <message>
        <source>Encryption key</source>
        <translation>Clé de codage</translation>
    </message>
    <message>
        <source>Code table</source>
        <translation>Table de code</translation>
    </message>
    <message>
        <source>&amp;Mask</source>
        <translation>&amp;Masquer</translation>
    </message>
    <message>
        <source>&amp;Decode</source>
        <translation>&amp;Décoder</translation>
    </message>
    <message>
        <source>&amp;Encode</source>
        <translation>C&amp;oder</translation>
    </message>
    <message>
        <source>&amp;Auto</source>
        <translation>&amp;Auto</translation>
    </message>
    <message>
        <source>&amp;Load Normal Text</source>
        <translation>C&amp;harger le texte normal</translation>
    </message>
    <message>
        <source>L&amp;oad Encoded Text</source>
        <translation>Char&amp;ger le texte codé</translation>
    </message>
    <message>
        <source>&amp;Save Normal Text</source>
        <translation>&amp;Enregistrer le texte normal</translation>
    </message>
    <message>
        <source>Sa&amp;ve Encoded Text</source>
        <translation>Enregist&amp;rer le texte codé</translation>
    </message>
    <message>
        <source>Decode</source>
        <translation>Décoder</translation>
    </message>
    <message>
        <source>Encode</source>
        <translation>Coder</translation>
    </message>
    <message>
        <source>Find &amp;Key...</source>
        <translation>&amp;Trouver la clé…</translation>
    </message>
    <message>
        <source>Load Normal Text</source>
        <translation>Charger le texte normal</translation>
    </message>
    <message>
        <source>Load Encoded Text</source>
        <translation>Charger le texte codé</translation>
    </message>
    <message>
        <source>Save Normal Text As</source>
        <translation>Enregistrer le texte normal sous</translation>
    </message>
    <message>
        <source>Save Encoded Text As</source>
        <translation>Enregistrer le texte codé sous</translation>
    </message>
    <message>
        <source>The text is too large for the memory there is; both areas keep what they held. lorimand-cli translates files of any size.</source>
        <translation>Le texte est trop grand pour la mémoire disponible&#xa0;; les deux zones gardent leur contenu. lorimand-cli traduit des fichiers de toute taille.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>Number error.  Please restart the program.</source>
        <translation>Erreur de nombre. Veuillez redémarrer le programme.</translation>
    </message>
    <message>
        <source>Error loading custom code.

%1: %2</source>
        <translation>Erreur au chargement de la table de code.

%1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Opening the help ...</source>
        <translation>Ouverture de l’aide…</translation>
    </message>
    <message>
        <source>Find Key</source>
        <translation>Trouver la clé</translation>
    </message>
    <message>
        <source>There is no encoded text to find the key of.</source>
        <translation>Il n’y a pas de texte codé dont chercher la clé.</translation>
    </message>
    <message>
        <source>Shift %1</source>
        <translation>Décalage %1</translation>
    </message>
    <message>
        <source>Shift %1, key %2</source>
        <translation>Décalage %1, clé %2</translation>
    </message>
    <message>
        <source>There are no code tables to try.</source>
        <translation>Il n’y a aucune table de code à essayer.</translation>
    </message>
    <message>
        <source>The likeliest keys of the encoded text, best first. The key-shift mode has only 255 shifts, which is why it hides a text only from a casual reader.</source>
        <translation>Les clés les plus probables du texte codé, la meilleure en premier. Le décalage par clé n’a que 255 décalages possibles&#xa0;: il ne cache donc un texte qu’à un lecteur distrait.</translation>
    </message>
    <message>
        <source>The code tables that decode the encoded text best, best first.</source>
        <translation>Les tables de code qui décodent le mieux le texte codé, la meilleure en premier.</translation>
    </message>
    <message>
        <source>A text this long is judged by a sample spread over all of it.</source>
        <translation>Un texte aussi long est jugé sur un échantillon réparti sur tout le texte.</translation>
    </message>
    <message>
        <source>The settings file is not used as it is.

%1</source>
        <translation>Le fichier de paramètres n’est pas utilisé tel quel.

%1</translation>
    </message>
    <message>
        <source>Closing</source>
        <translation>Fermeture</translation>
    </message>
    <message>
        <source>The encryption key holds a line break or is longer than %1 MiB, which the settings file cannot hold, so this key cannot be remembered.  The settings keep the previous default key.</source>
        <translation>La clé de codage contient un saut de ligne ou dépasse %1 Mio, ce que le fichier de paramètres ne peut pas contenir&#xa0;: cette clé ne peut donc pas être mémorisée. Les paramètres gardent la clé par défaut précédente.</translation>
    </message>
    <message>
        <source>The encryption key has changed.  Would you like to save the new key as the default?</source>
        <translation>La clé de codage a changé. Voulez-vous enregistrer la nouvelle clé comme clé par défaut&#xa0;?</translation>
    </message>
    <message>
        <source>The settings could not be saved.

%1</source>
        <translation>Les paramètres n’ont pas pu être enregistrés.

%1</translation>
    </message>
    <message>
        <source>Normal Text has not been saved.</source>
        <translation>Le texte normal n’a pas été enregistré.</translation>
    </message>
    <message>
        <source>Encoded Text has not been saved.</source>
        <translation>Le texte codé n’a pas été enregistré.</translation>
    </message>
    <message>
        <source>Restored</source>
        <translation>Restauré</translation>
    </message>
    <message>
        <source>%1 was being saved when that save was interrupted. It is restored from its journal as it was before that save.</source>
        <translation>%1 était en cours d’enregistrement quand cet enregistrement a été interrompu. Le fichier est restauré depuis son journal tel qu’il était avant.</translation>
    </message>
    <message>
        <source>Cannot read &quot;%1&quot;:
%2</source>
        <translation>Impossible de lire «&#xa0;%1&#xa0;»&#xa0;:
%2</translation>
    </message>
    <message>
        <source>Loading %1 ...</source>
        <translation>Chargement de %1…</translation>
    </message>
    <message>
        <source>It is larger than the %1 MiB the window holds; lorimand-cli translates files of any size.</source>
        <translation>Il dépasse les %1 Mio que la fenêtre peut contenir&#xa0;; lorimand-cli traduit des fichiers de toute taille.</translation>
    </message>
    <message>
        <source>Saving %1 ...</source>
        <translation>Enregistrement de %1…</translation>
    </message>
    <message>
        <source>There is not enough memory to put the text together; the file was not touched</source>
        <translation>La mémoire ne suffit pas pour assembler le texte&#xa0;; le fichier n’a pas été modifié</translation>
    </message>
    <message>
        <source>Cannot save &quot;%1&quot;:
%2</source>
        <translation>Impossible d’enregistrer «&#xa0;%1&#xa0;»&#xa0;:
%2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is saved, with a warning:
%2</source>
        <translation>«&#xa0;%1&#xa0;» est enregistré, avec un avertissement&#xa0;:
%2</translation>
    </message>
    <message>
        <source>&amp;New Code Table...</source>
        <translation>&amp;Nouvelle table de code…</translation>
    </message>
    <message>
        <source>Decoding cannot tell %1 from %2: both encode as %3</source>
        <translation>Le décodage ne peut pas distinguer %1 de %2&#xa0;: les deux se codent en %3</translation>
    </message>
    <message>
        <source>Decoding cannot tell %1 apart: all encode as %2</source>
        <translation>Le décodage ne peut pas distinguer %1&#xa0;: tous se codent en %2</translation>
    </message>
    <message>
        <source>%1 encodes as %2, which decodes as %3</source>
        <translation>%1 se code en %2, qui se décode en %3</translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>et %n autre</numerusform>
            <numerusform>et %n autres</numerusform>
        </translation>
    </message>
    <message>
        <source>Custom Code</source>
        <translation>Table de code</translation>
    </message>
    <message>
        <source>The code table &quot;%1&quot; cannot be decoded:</source>
        <translation>La table de code «&#xa0;%1&#xa0;» ne peut pas être décodée&#xa0;:</translation>
    </message>
    <message>
        <source>There is no folder for your own code tables: neither XDG_DATA_HOME nor HOME is set.</source>
        <translation>Il n’y a pas de dossier pour vos propres tables de code&#xa0;: ni XDG_DATA_HOME ni HOME n’est défini.</translation>
    </message>
    <message>
        <source>New Code Table</source>
        <translation>Nouvelle table de code</translation>
    </message>
    <message>
        <source>You have a code table called &quot;%1&quot; already. Replace it?</source>
        <translation>Vous avez déjà une table de code nommée «&#xa0;%1&#xa0;». La remplacer&#xa0;?</translation>
    </message>
    <message>
        <source>code %1</source>
        <translation>code %1</translation>
    </message>
    <message>
        <source>Interrupted Save</source>
        <translation>Enregistrement interrompu</translation>
    </message>
    <message>
        <source>%1 was being saved when that save was interrupted, and it may have been changed since by another program, so it is kept as it is. Its text from before that save is in %2.</source>
        <translation>%1 était en cours d’enregistrement quand cet enregistrement a été interrompu, et le fichier a peut-être été modifié depuis par un autre programme ; il est donc gardé tel quel. Son texte d’avant cet enregistrement se trouve dans %2.</translation>
    </message>
    <message>
        <source>After a CR, %1 encodes as %2, which decodes as %3</source>
        <translation>Après un CR, %1 se code en %2, qui se décode en %3</translation>
    </message>
    <message>
        <source>There is not enough memory to finish this. lorimand-cli translates files of any size.</source>
        <translation>La mémoire disponible ne suffit pas pour mener ceci à bien. lorimand-cli traduit des fichiers de toute taille.</translation>
    </message>
</context>
<context>
    <name>lorimand::NewTableDialog</name>
    <message>
        <source>Shuffle the letters</source>
        <translation>Mélanger les lettres</translation>
    </message>
    <message>
        <source>Shuffle every printable character</source>
        <translation>Mélanger tous les caractères imprimables</translation>
    </message>
    <message>
        <source>Shift the letters (ROT-N)</source>
        <translation>Décaler les lettres (ROT-N)</translation>
    </message>
    <message>
        <source>Reverse the alphabet</source>
        <translation>Inverser l’alphabet</translation>
    </message>
    <message>
        <source>Keyword alphabet</source>
        <translation>Alphabet à mot-clé</translation>
    </message>
    <message>
        <source>The quick brown fox jumps over the lazy dog.</source>
        <translation>Portez ce vieux whisky au juge blond qui fume.</translation>
    </message>
    <message>
        <source>Give the table a name.</source>
        <translation>Donnez un nom à la table.</translation>
    </message>
    <message>
        <source>A name cannot hold &quot;/&quot;.</source>
        <translation>Un nom ne peut pas contenir «&#xa0;/&#xa0;».</translation>
    </message>
    <message>
        <source>A name cannot start with a dot: the list leaves such files out.</source>
        <translation>Un nom ne peut pas commencer par un point&#xa0;: la liste ignore ces fichiers.</translation>
    </message>
    <message>
        <source>A name cannot start or end with a blank.</source>
        <translation>Un nom ne peut ni commencer ni finir par une espace.</translation>
    </message>
    <message>
        <source>The name is too long for a file name.</source>
        <translation>Le nom est trop long pour un nom de fichier.</translation>
    </message>
    <message>
        <source>New Code Table</source>
        <translation>Nouvelle table de code</translation>
    </message>
    <message>
        <source>&amp;Kind:</source>
        <translation>&amp;Type&#xa0;:</translation>
    </message>
    <message>
        <source>S&amp;hift by:</source>
        <translation>&amp;Décalage&#xa0;:</translation>
    </message>
    <message>
        <source>Key&amp;word:</source>
        <translation>Mot-&amp;clé&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Nom&#xa0;:</translation>
    </message>
    <message>
        <source>Shuffle &amp;Again</source>
        <translation>&amp;Mélanger à nouveau</translation>
    </message>
    <message>
        <source>Preview:</source>
        <translation>Aperçu&#xa0;:</translation>
    </message>
    <message>
        <source>A code table is a simple substitution: counting letters breaks it. It hides a text from a casual reader only.</source>
        <translation>Une table de code est une simple substitution&#xa0;: compter les lettres la casse. Elle ne cache un texte qu’à un lecteur distrait.</translation>
    </message>
    <message>
        <source>A keyword holds one or more of the letters a to z, and nothing else.</source>
        <translation>Un mot-clé contient une ou plusieurs des lettres de a à z, et rien d’autre.</translation>
    </message>
    <message>
        <source>The system gives no random numbers, so no table can be shuffled.</source>
        <translation>Le système ne fournit pas de nombres aléatoires&#xa0;: aucune table ne peut être mélangée.</translation>
    </message>
</context>
<context>
    <name>lorimand::QtPlatform</name>
    <message>
        <source>Save...</source>
        <translation>Enregistrer…</translation>
    </message>
    <message>
        <source>Text Documents (*.txt);;All Files (*)</source>
        <translation>Documents texte (*.txt);;Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist.

Choose a folder that exists.</source>
        <translation>Le dossier «&#xa0;%1&#xa0;» n’existe pas.

Choisissez un dossier existant.</translation>
    </message>
</context>
<context>
    <name>lorimand::SettingsFile</name>
    <message>
        <source>%1. The settings are kept in %2 instead.</source>
        <translation>%1. Les paramètres sont conservés dans %2 à la place.</translation>
    </message>
    <message>
        <source>%1: its key line is longer than %2 MiB, so that key is not applied.</source>
        <translation>%1&#xa0;: sa ligne de clé dépasse %2 Mio, cette clé n’est donc pas appliquée.</translation>
    </message>
    <message>
        <source>%1. The settings could not be read when the program started, so they are kept as they were.</source>
        <translation>%1. Les paramètres n’ont pas pu être lus au démarrage du programme&#xa0;; ils sont donc conservés tels quels.</translation>
    </message>
    <message>
        <source>%1: another copy of Lorimand is still saving its settings</source>
        <translation>%1&#xa0;: une autre instance de Lorimand enregistre encore ses paramètres</translation>
    </message>
    <message>
        <source>%1: the settings would be larger than the %2 MiB the program reads, so the file is kept as it was</source>
        <translation>%1&#xa0;: les paramètres dépasseraient les %2 Mio que le programme lit, le fichier est donc conservé tel quel</translation>
    </message>
</context>
<context>
    <name>lorimand::StepProgress</name>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
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
        <translation>Un caractère a été omis&#xa0;: le jeu de caractères du programme, Windows-1252, ne peut pas le contenir.</translation>
    </message>
    <message>
        <source>“%1”</source>
        <translation>«&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>Left out: %1. The program&apos;s character set, Windows-1252, cannot hold it.</source>
        <translation>Omis&#xa0;: %1. Le jeu de caractères du programme, Windows-1252, ne peut pas le contenir.</translation>
    </message>
    <message>
        <source>Left out: %1. The program&apos;s character set, Windows-1252, cannot hold them.</source>
        <translation>Omis&#xa0;: %1. Le jeu de caractères du programme, Windows-1252, ne peut pas les contenir.</translation>
    </message>
</context>
</TS>
