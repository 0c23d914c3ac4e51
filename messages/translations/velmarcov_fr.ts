<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>Error message the VelmarCov tool</name>
    <message>
        <source>%1: FDC Input Files Directory: %2
</source>
        <comment>%1 is the name of the tool,%2 the name of a directorie</comment>
        <translation>%1 : Répertoire des fichiers FDC d&apos;entrée : %2
</translation>
    </message>
    <message>
        <source>%1: FDC Output Files Directory: %2
</source>
        <comment>%1 is the name of the tool,%2 the name of a directorie</comment>
        <translation>%1 : Répertoire des fichiers FDC de sortie : %2
</translation>
    </message>
    <message>
        <source>%1: Malformed Version Number (x.y.z.t expected)
</source>
        <comment>%1 is the name of the tool</comment>
        <translation>%1 : Numéro de version mal formé (x.y.z.t attendu)
</translation>
    </message>
    <message>
        <source>%1: Bad Version Number (6.5.x.y expected)
</source>
        <comment>%1 is the name of the tool</comment>
        <translation>%1 : Mauvais numéro de version (6.5.x.y attendu)
</translation>
    </message>
    <message>
        <source>%1: Bad Version Number (6.5.104.y expected)
</source>
        <comment>%1 is the name of the tool</comment>
        <translation>%1 : Mauvais numéro de version (6.5.104.y attendu)
</translation>
    </message>
    <message>
        <source>Processing generated code from Velmar (ver:%1).
</source>
        <comment>%1 is the version of the Velmar tool</comment>
        <translation>Traitement du code généré par Velmar (ver : %1).
</translation>
    </message>
    <message>
        <source>%1: analysing %2
</source>
        <comment>%1 is the name of the tool, %2 the name of the FDC file</comment>
        <translation>%1 : analyse de %2
</translation>
    </message>
    <message>
        <source>%1: Unable to open the file %2 !
</source>
        <comment>%1 is the name of the tool, %2 the name of a file</comment>
        <translation>%1 : Impossible d&apos;ouvrir le fichier %2 !
</translation>
    </message>
    <message>
        <source>%1: Unable to create a temporary file on the current directory!
</source>
        <comment>%1 is the name of the tool</comment>
        <translation>%1 : Impossible de créer un fichier temporaire dans le répertoire courant !
</translation>
    </message>
    <message>
        <source>%1: Unable to create the file %2 !
</source>
        <comment>%1 is the name of the tool, %2 the name of a file</comment>
        <translation>%1 : Impossible de créer le fichier %2 !
</translation>
    </message>
    <message>
        <source>%1: the file is up to date
</source>
        <comment>%1 is the name of the tool,%2 the name of a file</comment>
        <translation>%1 : le fichier est à jour
</translation>
    </message>
    <message>
        <source>%1: No States and Transitions ... 
</source>
        <comment>%1 is the name of the tool</comment>
        <translation>%1 : Aucun état ni transition ... 
</translation>
    </message>
    <message>
        <source>%1: Unable to open the directory %2 !
</source>
        <comment>%1 is the name of the tool, %2 the name of a directory</comment>
        <translation>%1 : Impossible d&apos;ouvrir le répertoire %2 !
</translation>
    </message>
</context>
<context>
    <name>Usage message the VelmarCov tool</name>
    <message>
        <source>Usage: VelmarCov &lt;dir in&gt; &lt;dir out&gt; &lt;version&gt;
	&lt;dir in&gt; : Directory where code FDC files are located
	&lt;dir out&gt;: Directory for new FDC files
	&lt;version&gt; : Velmar Version number (ex: &quot;6.5.341.0&quot;)</source>
        <translation>Usage : VelmarCov &lt;rép entrée&gt; &lt;rép sortie&gt; &lt;version&gt;
	&lt;rép entrée&gt; : Répertoire où se trouvent les fichiers FDC du code
	&lt;rép sortie&gt; : Répertoire des nouveaux fichiers FDC
	&lt;version&gt; : Numéro de version de Velmar (ex : &quot;6.5.341.0&quot;)</translation>
    </message>
    <message>
        <source>%1: %2 FDC Files updated
</source>
        <comment>%1 is the name of the tool, %2 the amount of files computed</comment>
        <translation>%1 : %2 fichiers FDC mis à jour
</translation>
    </message>
</context>
<context>
    <name>Warning about the translator file load</name>
    <message>
        <source>%1: Cannot Open the translation file</source>
        <comment>%1 is the name of the tool</comment>
        <translation>%1 : Impossible d&apos;ouvrir le fichier de traduction</translation>
    </message>
</context>
<context>
    <name>Work message the VelmarCov tool</name>
    <message>
        <source>%1: Finding
%2 Operation(s)
%3 State(s)
-&gt; %4 EntryAction(s)
,-&gt; %5 ExitAction(s)
%6 Transition(s)
 -&gt; %7 Guard(s) 
%8 ChoicePoint(s)
</source>
        <comment>%1 is the name of the tool,%2 the amount of Operation,%3the amount of States;%4 The amount of enter state, %5 the amount of exit state, %6 the amount of transitions, %7 the amount of Guard, %8 the amount of choice points</comment>
        <translation>%1 : Trouvé
%2 opération(s)
%3 état(s)
-&gt; %4 action(s) d&apos;entrée
,-&gt; %5 action(s) de sortie
%6 transition(s)
 -&gt; %7 garde(s) 
%8 point(s) de choix
</translation>
    </message>
</context>
</TS>
