<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>lorimand::Banner</name>
    <message>
        <source>GET PAID TO READ E-MAIL!</source>
        <translation>¡COBRE POR LEER CORREOS!</translation>
    </message>
    <message>
        <source>Cash for every message you open. Join free today!</source>
        <translation>Dinero por cada mensaje que abra. ¡Únase gratis hoy!</translation>
    </message>
</context>
<context>
    <name>lorimand::ByteTextEdit</name>
    <message>
        <source>There is not enough memory for this; the text is as it was.</source>
        <translation>No hay memoria suficiente para esto; el texto no ha cambiado.</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Deshacer</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Rehacer</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Cor&amp;tar</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copiar</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Pegar</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Borrar</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Seleccionar todo</translation>
    </message>
    <message>
        <source>Character &amp;Set</source>
        <translation>&amp;Juego de caracteres</translation>
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
        <translation>Byte %1: no forma parte de ningún carácter UTF-8</translation>
    </message>
</context>
<context>
    <name>lorimand::CharsetOffer</name>
    <message>
        <source>Show as &amp;UTF-8</source>
        <translation>Mostrar como &amp;UTF-8</translation>
    </message>
    <message>
        <source>Keep &amp;Windows-1252</source>
        <translation>Mantener &amp;Windows-1252</translation>
    </message>
    <message>
        <source>&quot;%1&quot; looks like UTF-8 text.</source>
        <translation>«%1» parece texto UTF-8.</translation>
    </message>
</context>
<context>
    <name>lorimand::FindKeyDialog</name>
    <message>
        <source>Find Key</source>
        <translation>Buscar clave</translation>
    </message>
    <message>
        <source>Candidates, best first</source>
        <translation>Candidatos, el mejor primero</translation>
    </message>
    <message>
        <source>&amp;Use</source>
        <translation>&amp;Usar</translation>
    </message>
</context>
<context>
    <name>lorimand::HelpWindow</name>
    <message>
        <source>Lorimand Help</source>
        <translation>Ayuda de Lorimand</translation>
    </message>
    <message>
        <source>Help text</source>
        <translation>Texto de ayuda</translation>
    </message>
    <message>
        <source>GET PAID TO RECEIVE E-MAILS ON SUBJECTS OF YOUR CHOICE!!</source>
        <translation>¡¡COBRE POR RECIBIR CORREOS SOBRE LOS TEMAS QUE ELIJA!!</translation>
    </message>
    <message>
        <source>There is not enough memory to show it</source>
        <translation>No hay memoria suficiente para mostrarla</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>The help cannot be shown.

%1: %2</source>
        <translation>No se puede mostrar la ayuda.

%1: %2</translation>
    </message>
    <message>
        <source>No web browser could be started to open the page.

Its address is %1</source>
        <translation>No se pudo iniciar ningún navegador web para abrir la página.

Su dirección es %1</translation>
    </message>
</context>
<context>
    <name>lorimand::Language</name>
    <message>
        <source>en</source>
        <comment>The code of the language translated into</comment>
        <translation>es</translation>
    </message>
</context>
<context>
    <name>lorimand::MainWindow</name>
    <message>
        <source>Enter a message to encode here . . .</source>
        <translation>Escriba aquí un mensaje para cifrar . . .</translation>
    </message>
    <message>
        <source>. . . or an encoded message to decode here.</source>
        <translation>. . . o aquí un mensaje cifrado para descifrar.</translation>
    </message>
    <message>
        <source>Lorimand</source>
        <translation>Lorimand</translation>
    </message>
    <message>
        <source>Normal &amp;Text</source>
        <translation>&amp;Texto normal</translation>
    </message>
    <message>
        <source>Encoded Te&amp;xt</source>
        <translation>Te&amp;xto cifrado</translation>
    </message>
    <message>
        <source>Normal Text</source>
        <translation>Texto normal</translation>
    </message>
    <message>
        <source>Encoded Text</source>
        <translation>Texto cifrado</translation>
    </message>
    <message>
        <source>Encryption &amp;Key:</source>
        <translation>&amp;Clave:</translation>
    </message>
    <message>
        <source>&amp;Custom Code:</source>
        <translation>Código &amp;propio:</translation>
    </message>
    <message>
        <source>Encryption key</source>
        <translation>Clave</translation>
    </message>
    <message>
        <source>Code table</source>
        <translation>Tabla de códigos</translation>
    </message>
    <message>
        <source>&amp;Mask</source>
        <translation>&amp;Ocultar</translation>
    </message>
    <message>
        <source>&amp;Decode</source>
        <translation>&amp;Descifrar</translation>
    </message>
    <message>
        <source>&amp;Encode</source>
        <translation>C&amp;ifrar</translation>
    </message>
    <message>
        <source>&amp;Auto</source>
        <translation>&amp;Auto</translation>
    </message>
    <message>
        <source>&amp;Load Normal Text</source>
        <translation>Cargar texto &amp;normal</translation>
    </message>
    <message>
        <source>L&amp;oad Encoded Text</source>
        <translation>Ca&amp;rgar texto cifrado</translation>
    </message>
    <message>
        <source>&amp;Save Normal Text</source>
        <translation>&amp;Guardar texto normal</translation>
    </message>
    <message>
        <source>Sa&amp;ve Encoded Text</source>
        <translation>G&amp;uardar texto cifrado</translation>
    </message>
    <message>
        <source>Decode</source>
        <translation>Descifrar</translation>
    </message>
    <message>
        <source>Encode</source>
        <translation>Cifrar</translation>
    </message>
    <message>
        <source>Find &amp;Key...</source>
        <translation>&amp;Buscar clave…</translation>
    </message>
    <message>
        <source>Load Normal Text</source>
        <translation>Cargar texto normal</translation>
    </message>
    <message>
        <source>Load Encoded Text</source>
        <translation>Cargar texto cifrado</translation>
    </message>
    <message>
        <source>Save Normal Text As</source>
        <translation>Guardar texto normal como</translation>
    </message>
    <message>
        <source>Save Encoded Text As</source>
        <translation>Guardar texto cifrado como</translation>
    </message>
    <message>
        <source>The text is too large for the memory there is; both areas keep what they held. lorimand-cli translates files of any size.</source>
        <translation>El texto es demasiado grande para la memoria disponible; ambas áreas conservan su contenido. lorimand-cli traduce archivos de cualquier tamaño.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Number error.  Please restart the program.</source>
        <translation>Error numérico. Reinicie el programa.</translation>
    </message>
    <message>
        <source>Error loading custom code.

%1: %2</source>
        <translation>Error al cargar la tabla de códigos.

%1: %2</translation>
    </message>
    <message>
        <source>Opening the help ...</source>
        <translation>Abriendo la ayuda…</translation>
    </message>
    <message>
        <source>Find Key</source>
        <translation>Buscar clave</translation>
    </message>
    <message>
        <source>There is no encoded text to find the key of.</source>
        <translation>No hay ningún texto cifrado del que buscar la clave.</translation>
    </message>
    <message>
        <source>Shift %1</source>
        <translation>Desplazamiento %1</translation>
    </message>
    <message>
        <source>Shift %1, key %2</source>
        <translation>Desplazamiento %1, clave %2</translation>
    </message>
    <message>
        <source>There are no code tables to try.</source>
        <translation>No hay tablas de códigos que probar.</translation>
    </message>
    <message>
        <source>The likeliest keys of the encoded text, best first. The key-shift mode has only 255 shifts, which is why it hides a text only from a casual reader.</source>
        <translation>Las claves más probables del texto cifrado, la mejor primero. El modo de desplazamiento por clave solo tiene 255 desplazamientos; por eso solo oculta un texto a un lector ocasional.</translation>
    </message>
    <message>
        <source>The code tables that decode the encoded text best, best first.</source>
        <translation>Las tablas de códigos que mejor descifran el texto cifrado, la mejor primero.</translation>
    </message>
    <message>
        <source>A text this long is judged by a sample spread over all of it.</source>
        <translation>Un texto tan largo se juzga por una muestra repartida por todo él.</translation>
    </message>
    <message>
        <source>The settings file is not used as it is.

%1</source>
        <translation>El archivo de configuración no se usa tal como está.

%1</translation>
    </message>
    <message>
        <source>Closing</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>The encryption key holds a line break or is longer than %1 MiB, which the settings file cannot hold, so this key cannot be remembered.  The settings keep the previous default key.</source>
        <translation>La clave contiene un salto de línea o supera %1 MiB, algo que el archivo de configuración no puede guardar, así que esta clave no se puede recordar. La configuración conserva la clave predeterminada anterior.</translation>
    </message>
    <message>
        <source>The encryption key has changed.  Would you like to save the new key as the default?</source>
        <translation>La clave ha cambiado. ¿Quiere guardar la nueva clave como predeterminada?</translation>
    </message>
    <message>
        <source>The settings could not be saved.

%1</source>
        <translation>No se pudo guardar la configuración.

%1</translation>
    </message>
    <message>
        <source>Normal Text has not been saved.</source>
        <translation>El texto normal no se ha guardado.</translation>
    </message>
    <message>
        <source>Encoded Text has not been saved.</source>
        <translation>El texto cifrado no se ha guardado.</translation>
    </message>
    <message>
        <source>Restored</source>
        <translation>Restaurado</translation>
    </message>
    <message>
        <source>%1 was being saved when that save was interrupted. It is restored from its journal as it was before that save.</source>
        <translation>Se estaba guardando %1 cuando ese guardado se interrumpió. Se ha restaurado desde su diario tal como estaba antes.</translation>
    </message>
    <message>
        <source>Cannot read &quot;%1&quot;:
%2</source>
        <translation>No se puede leer «%1»:
%2</translation>
    </message>
    <message>
        <source>Loading %1 ...</source>
        <translation>Cargando %1…</translation>
    </message>
    <message>
        <source>It is larger than the %1 MiB the window holds; lorimand-cli translates files of any size.</source>
        <translation>Supera los %1 MiB que admite la ventana; lorimand-cli traduce archivos de cualquier tamaño.</translation>
    </message>
    <message>
        <source>Saving %1 ...</source>
        <translation>Guardando %1…</translation>
    </message>
    <message>
        <source>There is not enough memory to put the text together; the file was not touched</source>
        <translation>No hay memoria suficiente para reunir el texto; el archivo no se ha modificado</translation>
    </message>
    <message>
        <source>Cannot save &quot;%1&quot;:
%2</source>
        <translation>No se puede guardar «%1»:
%2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is saved, with a warning:
%2</source>
        <translation>«%1» se ha guardado, con una advertencia:
%2</translation>
    </message>
    <message>
        <source>&amp;New Code Table...</source>
        <translation>&amp;Nueva tabla de códigos…</translation>
    </message>
    <message>
        <source>Decoding cannot tell %1 from %2: both encode as %3</source>
        <translation>El descifrado no puede distinguir %1 de %2: ambos se cifran como %3</translation>
    </message>
    <message>
        <source>Decoding cannot tell %1 apart: all encode as %2</source>
        <translation>El descifrado no puede distinguir %1: todos se cifran como %2</translation>
    </message>
    <message>
        <source>%1 encodes as %2, which decodes as %3</source>
        <translation>%1 se cifra como %2, que se descifra como %3</translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>y %n más</numerusform>
            <numerusform>y %n más</numerusform>
        </translation>
    </message>
    <message>
        <source>Custom Code</source>
        <translation>Código propio</translation>
    </message>
    <message>
        <source>The code table &quot;%1&quot; cannot be decoded:</source>
        <translation>La tabla de códigos «%1» no se puede descifrar:</translation>
    </message>
    <message>
        <source>There is no folder for your own code tables: neither XDG_DATA_HOME nor HOME is set.</source>
        <translation>No hay ninguna carpeta para sus propias tablas de códigos: no está definida ni XDG_DATA_HOME ni HOME.</translation>
    </message>
    <message>
        <source>New Code Table</source>
        <translation>Nueva tabla de códigos</translation>
    </message>
    <message>
        <source>You have a code table called &quot;%1&quot; already. Replace it?</source>
        <translation>Ya tiene una tabla de códigos llamada «%1». ¿Quiere sustituirla?</translation>
    </message>
    <message>
        <source>code %1</source>
        <translation>código %1</translation>
    </message>
    <message>
        <source>Interrupted Save</source>
        <translation>Guardado interrumpido</translation>
    </message>
    <message>
        <source>%1 was being saved when that save was interrupted, and it may have been changed since by another program, so it is kept as it is. Its text from before that save is in %2.</source>
        <translation>Se estaba guardando %1 cuando ese guardado se interrumpió, y puede que otro programa lo haya cambiado desde entonces, así que se conserva tal como está. Su texto de antes de ese guardado está en %2.</translation>
    </message>
    <message>
        <source>After a CR, %1 encodes as %2, which decodes as %3</source>
        <translation>Tras un CR, %1 se cifra como %2, que se descifra como %3</translation>
    </message>
    <message>
        <source>There is not enough memory to finish this. lorimand-cli translates files of any size.</source>
        <translation>La memoria disponible no basta para terminar esto. lorimand-cli traduce archivos de cualquier tamaño.</translation>
    </message>
</context>
<context>
    <name>lorimand::NewTableDialog</name>
    <message>
        <source>Shuffle the letters</source>
        <translation>Mezclar las letras</translation>
    </message>
    <message>
        <source>Shuffle every printable character</source>
        <translation>Mezclar todos los caracteres imprimibles</translation>
    </message>
    <message>
        <source>Shift the letters (ROT-N)</source>
        <translation>Desplazar las letras (ROT-N)</translation>
    </message>
    <message>
        <source>Reverse the alphabet</source>
        <translation>Invertir el alfabeto</translation>
    </message>
    <message>
        <source>Keyword alphabet</source>
        <translation>Alfabeto con palabra clave</translation>
    </message>
    <message>
        <source>The quick brown fox jumps over the lazy dog.</source>
        <translation>El veloz murciélago hindú comía feliz cardillo y kiwi.</translation>
    </message>
    <message>
        <source>Give the table a name.</source>
        <translation>Dé un nombre a la tabla.</translation>
    </message>
    <message>
        <source>A name cannot hold &quot;/&quot;.</source>
        <translation>Un nombre no puede contener «/».</translation>
    </message>
    <message>
        <source>A name cannot start with a dot: the list leaves such files out.</source>
        <translation>Un nombre no puede empezar por un punto: la lista omite esos archivos.</translation>
    </message>
    <message>
        <source>A name cannot start or end with a blank.</source>
        <translation>Un nombre no puede empezar ni terminar con un espacio.</translation>
    </message>
    <message>
        <source>The name is too long for a file name.</source>
        <translation>El nombre es demasiado largo para un nombre de archivo.</translation>
    </message>
    <message>
        <source>New Code Table</source>
        <translation>Nueva tabla de códigos</translation>
    </message>
    <message>
        <source>&amp;Kind:</source>
        <translation>&amp;Tipo:</translation>
    </message>
    <message>
        <source>S&amp;hift by:</source>
        <translation>&amp;Desplazamiento:</translation>
    </message>
    <message>
        <source>Key&amp;word:</source>
        <translation>&amp;Palabra clave:</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Nombre:</translation>
    </message>
    <message>
        <source>Shuffle &amp;Again</source>
        <translation>&amp;Mezclar otra vez</translation>
    </message>
    <message>
        <source>Preview:</source>
        <translation>Vista previa:</translation>
    </message>
    <message>
        <source>A code table is a simple substitution: counting letters breaks it. It hides a text from a casual reader only.</source>
        <translation>Una tabla de códigos es una simple sustitución: contar las letras la rompe. Solo oculta un texto a un lector ocasional.</translation>
    </message>
    <message>
        <source>A keyword holds one or more of the letters a to z, and nothing else.</source>
        <translation>Una palabra clave contiene una o más de las letras de la a a la z, y nada más.</translation>
    </message>
    <message>
        <source>The system gives no random numbers, so no table can be shuffled.</source>
        <translation>El sistema no proporciona números aleatorios, así que no se puede mezclar ninguna tabla.</translation>
    </message>
</context>
<context>
    <name>lorimand::QtPlatform</name>
    <message>
        <source>Save...</source>
        <translation>Guardar…</translation>
    </message>
    <message>
        <source>Text Documents (*.txt);;All Files (*)</source>
        <translation>Documentos de texto (*.txt);;Todos los archivos (*)</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist.

Choose a folder that exists.</source>
        <translation>La carpeta «%1» no existe.

Elija una carpeta que exista.</translation>
    </message>
</context>
<context>
    <name>lorimand::SettingsFile</name>
    <message>
        <source>%1. The settings are kept in %2 instead.</source>
        <translation>%1. La configuración se guarda en su lugar en %2.</translation>
    </message>
    <message>
        <source>%1: its key line is longer than %2 MiB, so that key is not applied.</source>
        <translation>%1: su línea de clave supera %2 MiB, así que esa clave no se aplica.</translation>
    </message>
    <message>
        <source>%1. The settings could not be read when the program started, so they are kept as they were.</source>
        <translation>%1. No se pudo leer la configuración al iniciar el programa, así que se conserva como estaba.</translation>
    </message>
    <message>
        <source>%1: another copy of Lorimand is still saving its settings</source>
        <translation>%1: otra instancia de Lorimand aún está guardando su configuración</translation>
    </message>
    <message>
        <source>%1: the settings would be larger than the %2 MiB the program reads, so the file is kept as it was</source>
        <translation>%1: la configuración superaría los %2 MiB que lee el programa, así que el archivo se conserva como estaba</translation>
    </message>
</context>
<context>
    <name>lorimand::StepProgress</name>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
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
        <translation>Se ha omitido un carácter: el juego de caracteres del programa, Windows-1252, no lo admite.</translation>
    </message>
    <message>
        <source>“%1”</source>
        <translation>«%1»</translation>
    </message>
    <message>
        <source>Left out: %1. The program&apos;s character set, Windows-1252, cannot hold it.</source>
        <translation>Omitido: %1. El juego de caracteres del programa, Windows-1252, no lo admite.</translation>
    </message>
    <message>
        <source>Left out: %1. The program&apos;s character set, Windows-1252, cannot hold them.</source>
        <translation>Omitidos: %1. El juego de caracteres del programa, Windows-1252, no los admite.</translation>
    </message>
</context>
</TS>
