<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>Access</name>
    <message>
        <source>%1 may not import records: it needs right level %2 for %3 and has level %4 (see &apos;tessaran rights&apos;)</source>
        <translation>%1 ne peut pas importer d&apos;enregistrements : il faut le niveau de droit %2 pour %3, et %1 a le niveau %4 (voir « tessaran rights »)</translation>
    </message>
    <message>
        <source>%1 may not list or set rights: it needs right level %2 for %3 and has level %4 (see &apos;tessaran rights&apos;)</source>
        <translation>%1 ne peut ni lister ni modifier les droits : il faut le niveau de droit %2 pour %3, et %1 a le niveau %4 (voir « tessaran rights »)</translation>
    </message>
    <message>
        <source>%1 may not print: it needs right level %2 for %3 and has level %4 (see &apos;tessaran rights&apos;)</source>
        <translation>%1 ne peut pas imprimer : il faut le niveau de droit %2 pour %3, et %1 a le niveau %4 (voir « tessaran rights »)</translation>
    </message>
    <message>
        <source>%1 may not preview the print run: it needs right level %2 for %3 and has level %4 (see &apos;tessaran rights&apos;)</source>
        <translation>%1 ne peut pas faire l&apos;aperçu de l&apos;impression : il faut le niveau de droit %2 pour %3, et %1 a le niveau %4 (voir « tessaran rights »)</translation>
    </message>
    <message>
        <source>%1 may not reprint: it needs right level %2 for %3 and has level %4 (see &apos;tessaran rights&apos;)</source>
        <translation>%1 ne peut pas rééditer : il faut le niveau de droit %2 pour %3, et %1 a le niveau %4 (voir « tessaran rights »)</translation>
    </message>
    <message>
        <source>%1 may not export records: it needs right level %2 for %3 and has level %4 (see &apos;tessaran rights&apos;)</source>
        <translation>%1 ne peut pas exporter d&apos;enregistrements : il faut le niveau de droit %2 pour %3, et %1 a le niveau %4 (voir « tessaran rights »)</translation>
    </message>
    <message>
        <source>%1 may not select records: it needs right level %2 for %3 and has level %4 (see &apos;tessaran rights&apos;)</source>
        <translation>%1 ne peut pas sélectionner d&apos;enregistrements : il faut le niveau de droit %2 pour %3, et %1 a le niveau %4 (voir « tessaran rights »)</translation>
    </message>
    <message>
        <source>%1 may not open the window: it needs right level %2 for %3 and has level %4 (see &apos;tessaran rights&apos;)</source>
        <translation>%1 ne peut pas ouvrir la fenêtre : il faut le niveau de droit %2 pour %3, et %1 a le niveau %4 (voir « tessaran rights »)</translation>
    </message>
    <message>
        <source>%1 may not run this command: it needs right level %2 for %3 and has level %4 (see &apos;tessaran rights&apos;)</source>
        <translation>%1 ne peut pas lancer cette commande : il faut le niveau de droit %2 pour %3, et %1 a le niveau %4 (voir « tessaran rights »)</translation>
    </message>
    <message>
        <source>acting as %1 needs right level 2 for %2; %3 has level %4 (see &apos;tessaran rights&apos;)</source>
        <translation>agir en tant que %1 demande le niveau de droit 2 pour %2 ; %3 a le niveau %4 (voir « tessaran rights »)</translation>
    </message>
    <message>
        <source>on a database server the user is the role that connected (%1); --user and TESSARAN_USER cannot name another (%2)</source>
        <translation>sur un serveur de base de données, l&apos;utilisateur est le rôle qui s&apos;est connecté (%1) ; --user et TESSARAN_USER ne peuvent pas en désigner un autre (%2)</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>unknown option %1 for &apos;%2&apos;</source>
        <translation>option %1 inconnue pour « %2 »</translation>
    </message>
    <message>
        <source>option %1 takes no value</source>
        <translation>l&apos;option %1 ne prend pas de valeur</translation>
    </message>
    <message>
        <source>option %1 needs a value</source>
        <translation>l&apos;option %1 demande une valeur</translation>
    </message>
    <message>
        <source>option %1 needs a non-empty value</source>
        <translation>l&apos;option %1 demande une valeur non vide</translation>
    </message>
    <message>
        <source>%1 must be printable text, without tabs or line breaks</source>
        <translation>%1 doit être un texte imprimable, sans tabulation ni saut de ligne</translation>
    </message>
    <message>
        <source>cannot find the login name: give --user NAME or set TESSARAN_USER</source>
        <translation>le nom de connexion est introuvable : donnez --user NOM ou définissez TESSARAN_USER</translation>
    </message>
    <message>
        <source>--attrs takes attribute numbers separated by spaces (0 is the key), not &apos;%1&apos;</source>
        <translation>--attrs prend des numéros d&apos;attributs séparés par des espaces (0 est la clé), pas « %1 »</translation>
    </message>
    <message>
        <source>--attrs needs at least one attribute number</source>
        <translation>--attrs demande au moins un numéro d&apos;attribut</translation>
    </message>
    <message>
        <source>missing %1</source>
        <translation>il manque %1</translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos; (quote the whole statement)</source>
        <translation>argument inattendu « %1 » (mettez toute l&apos;instruction entre guillemets)</translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>argument inattendu « %1 »</translation>
    </message>
    <message>
        <source>--period YYYYMM is required</source>
        <translation>--period AAAAMM est obligatoire</translation>
    </message>
    <message>
        <source>--period takes a pay period as YYYYMM (for example 202611), not &apos;%1&apos;</source>
        <translation>--period prend une période de paie sous la forme AAAAMM (par exemple 202611), pas « %1 »</translation>
    </message>
    <message>
        <source>give either --assoc CODE... or --all</source>
        <translation>donnez soit --assoc CODE..., soit --all</translation>
    </message>
    <message>
        <source>give either --output or --printer, not both</source>
        <translation>donnez soit --output, soit --printer, pas les deux</translation>
    </message>
    <message>
        <source>a preview is written to a file: give --output FILE.pdf or --output FILE.txt</source>
        <translation>un aperçu s&apos;écrit dans un fichier : donnez --output FICHIER.pdf ou --output FICHIER.txt</translation>
    </message>
    <message>
        <source>give --output FILE.pdf, --output FILE.txt or --printer NAME</source>
        <translation>donnez --output FICHIER.pdf, --output FICHIER.txt ou --printer NOM</translation>
    </message>
    <message>
        <source>--output takes a file ending in .pdf or .txt, not &apos;%1&apos;</source>
        <translation>--output prend un fichier terminé par .pdf ou .txt, pas « %1 »</translation>
    </message>
    <message>
        <source>--copies takes a number of copies from 1 to 99, not &apos;%1&apos;</source>
        <translation>--copies prend un nombre d&apos;exemplaires de 1 à 99, pas « %1 »</translation>
    </message>
    <message>
        <source>no command given</source>
        <translation>aucune commande n&apos;est donnée</translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos;</source>
        <translation>commande inconnue « %1 »</translation>
    </message>
    <message>
        <source>help takes at most one command name</source>
        <translation>help prend au plus un nom de commande</translation>
    </message>
    <message>
        <source>cannot find the login name: give --admin NAME</source>
        <translation>le nom de connexion est introuvable : donnez --admin NOM</translation>
    </message>
    <message>
        <source>the JSON document to import (a file, or - for stdin)</source>
        <translation>le document JSON à importer (un fichier, ou - pour l&apos;entrée standard)</translation>
    </message>
    <message>
        <source>the select statement (&apos;SSELECT FILE ...&apos;)</source>
        <translation>l&apos;instruction de sélection (« SSELECT FICHIER ... »)</translation>
    </message>
    <message>
        <source>USER</source>
        <translation>UTILISATEUR</translation>
    </message>
    <message>
        <source>a right level is a whole number from 0 to 9, not &apos;%1&apos;</source>
        <translation>un niveau de droit est un nombre entier de 0 à 9, pas « %1 »</translation>
    </message>
</context>
<context>
    <name>DataCommands</name>
    <message>
        <source>%1 already exists; it is never overwritten</source>
        <translation>%1 existe déjà ; un fichier existant n&apos;est jamais écrasé</translation>
    </message>
    <message>
        <source>Demo database created: %1 (%2 records).
</source>
        <translation>Base de démonstration créée : %1 (%2 enregistrements).
</translation>
    </message>
    <message>
        <source>Users: %1 (level 2, may print), %2 (level 1, may reprint). Current pay period: 202611.
</source>
        <translation>Utilisateurs : %1 (niveau 2, peut imprimer), %2 (niveau 1, peut rééditer). Période de paie en cours : 202611.
</translation>
    </message>
    <message>
        <source>Users: %1 (level 2, may print), %2 (level 1, may reprint), %3 (level 2). Current pay period: 202611.
</source>
        <translation>Utilisateurs : %1 (niveau 2, peut imprimer), %2 (niveau 1, peut rééditer), %3 (niveau 2). Période de paie en cours : 202611.
</translation>
    </message>
    <message>
        <source>Database created: %1. %2 may print (level 2 for &quot;%3&quot;).
</source>
        <translation>Base de données créée : %1. %2 peut imprimer (niveau 2 pour « %3 »).
</translation>
    </message>
    <message>
        <source>cannot read %1</source>
        <translation>impossible de lire %1</translation>
    </message>
    <message>
        <source>import refused: file &quot;NUMEROFACT&quot;, key &quot;001&quot;, attribute &quot;10&quot;: the invoice counter %1 would be below invoice number %2 recorded on a flow, and a print run would give that number again</source>
        <translation>import refusé : fichier « NUMEROFACT », clé « 001 », attribut « 10 » : le compteur de factures %1 serait inférieur au numéro de facture %2 enregistré sur un flux, et une impression donnerait ce numéro une seconde fois</translation>
    </message>
    <message>
        <source>%1 record imported into %2.
</source>
        <translation>%1 enregistrement importé dans %2.
</translation>
    </message>
    <message>
        <source>%1 records imported into %2.
</source>
        <translation>%1 enregistrements importés dans %2.
</translation>
    </message>
    <message>
        <source>no data file named &apos;%1&apos; (files: %2)</source>
        <translation>aucun fichier de données ne s&apos;appelle « %1 » (fichiers : %2)</translation>
    </message>
    <message>
        <source>a select statement begins with SSELECT, not &apos;%1&apos;</source>
        <translation>une instruction de sélection commence par SSELECT, pas par « %1 »</translation>
    </message>
    <message>
        <source>SSELECT needs a file name</source>
        <translation>SSELECT demande un nom de fichier</translation>
    </message>
    <message>
        <source>not a data command</source>
        <translation>ce n&apos;est pas une commande de données</translation>
    </message>
    <message>
        <source>cannot write the output</source>
        <translation>impossible d&apos;écrire la sortie</translation>
    </message>
</context>
<context>
    <name>DatabasePath</name>
    <message>
        <source>no database at %1: the folder %2 does not exist</source>
        <translation>aucune base de données à l&apos;emplacement %1 : le dossier %2 n&apos;existe pas</translation>
    </message>
    <message>
        <source>no database at %1 (create one with &apos;tessaran init&apos; or &apos;tessaran demo&apos;)</source>
        <translation>aucune base de données à l&apos;emplacement %1 (créez-en une avec « tessaran init » ou « tessaran demo »)</translation>
    </message>
</context>
<context>
    <name>GuiHost</name>
    <message>
        <source>no screen is available (neither DISPLAY nor WAYLAND_DISPLAY is set).
Open the window from a graphical session, or print without a window with &apos;tessaran print&apos; (see &apos;tessaran print --help&apos;).
</source>
        <translation>aucun écran n&apos;est disponible (ni DISPLAY ni WAYLAND_DISPLAY ne sont définis).
Lancez la fenêtre depuis une session graphique, ou imprimez sans fenêtre avec « tessaran print » (voir « tessaran print --help »).
</translation>
    </message>
    <message>
        <source>the control could not start: </source>
        <translation>le contrôle n&apos;a pas pu démarrer : </translation>
    </message>
</context>
<context>
    <name>Help</name>
    <message>
        <source>tessaran: billing statements of the federation&apos;s associations, and the tools of their database.

Usage: tessaran COMMAND [OPTIONS]

Commands:
  demo    [--db PATH]                  create the demo database (never overwrites a file)
  init    [--db PATH] [--admin NAME]   create an empty database with its ten files
  import  [--db PATH] FILE.json        load records from a JSON document, all or nothing (- reads stdin)
  export  [--db PATH] [FILE...]        write the records of the named files (all by default) as JSON
  select  [--db PATH] &apos;SSELECT ...&apos; [--attrs &quot;0 1&quot;]
                                       run a select statement: one line per record, values tab-separated
  print   [--db PATH] --period YYYYMM (--assoc CODE... | --all)
          [--output FILE.pdf | --output FILE.txt | --printer NAME] [--copies N] [--user NAME]
                                       print the statements and fee invoices of a pay period
  reprint (the options of print)       print again what an earlier print run produced, writing nothing
  preview (the options of print)       the print run rolled back, to --output only: nothing written
  gui     [--db PATH] [--user NAME]    open the desktop window
  rights  [--db PATH] [USER [LEVEL]]   list, show or set the right levels for &quot;MORVELINTASKADE&quot;
  help    [COMMAND]                    this text, or the help of one command

Defaults:
  --db    $TESSARAN_DB, then ./tessaran.db
  --user  the login name; --user or $TESSARAN_USER acts as another user (needs level 2)

Rights (level for &quot;MORVELINTASKADE&quot;): import, rights, print, preview need 2; reprint, export,
select, gui need 1; 0 gives nothing.

Messages are in French when the locale (LC_ALL, LC_MESSAGES, then LANG) is French, in English
otherwise; LC_ALL=C gives English.

Exit codes:
  0  success
  1  usage: unknown command or option, missing or malformed argument
  2  database: missing, not a Tessaran database, already exists, read-only, full, no permission
  3  refused input: import document or select statement refused
  4  refused choice: unknown period or association, no right for the command
  5  output: the output file or the printer cannot be used, or the document was not written whole
  6  nothing to print: the run found no flow to print or reprint
  7  cancelled: the printer choice was cancelled, or the run was interrupted (nothing kept)
  8  not kept: a print run&apos;s records could not be kept; nothing was recorded
  9  busy: another print run held the database longer than the wait
 10  invoice counter: the counter is not a usable invoice number; nothing was done

Run &apos;tessaran COMMAND --help&apos; for the details of one command.
</source>
        <translation>tessaran : états de facturation des associations de la fédération, et outils de leur base de données.

Usage : tessaran COMMANDE [OPTIONS]

Commandes :
  demo    [--db CHEMIN]                  crée la base de démonstration (n&apos;écrase jamais un fichier)
  init    [--db CHEMIN] [--admin NOM]    crée une base vide avec ses dix fichiers
  import  [--db CHEMIN] FICHIER.json     charge les enregistrements d&apos;un document JSON, tout ou rien
                                         (- lit l&apos;entrée standard)
  export  [--db CHEMIN] [FICHIER...]     écrit en JSON les enregistrements des fichiers nommés (tous par défaut)
  select  [--db CHEMIN] &apos;SSELECT ...&apos; [--attrs &quot;0 1&quot;]
                                         exécute une sélection : une ligne par enregistrement, valeurs
                                         séparées par des tabulations
  print   [--db CHEMIN] --period AAAAMM (--assoc CODE... | --all)
          [--output FICHIER.pdf | --output FICHIER.txt | --printer NOM] [--copies N] [--user NOM]
                                         imprime les états et les factures de frais d&apos;une période de paie
  reprint (les options de print)         réimprime ce qu&apos;une impression précédente a produit, sans rien écrire
  preview (les options de print)         l&apos;impression annulée à la fin, vers --output seulement : rien n&apos;est écrit
  gui     [--db CHEMIN] [--user NOM]     ouvre la fenêtre de bureau
  rights  [--db CHEMIN] [UTILISATEUR [NIVEAU]]
                                         liste, affiche ou modifie les niveaux de droit pour &quot;MORVELINTASKADE&quot;
  help    [COMMANDE]                     ce texte, ou l&apos;aide d&apos;une commande

Valeurs par défaut :
  --db    $TESSARAN_DB, puis ./tessaran.db
  --user  le nom de connexion ; --user ou $TESSARAN_USER agit en tant qu&apos;un autre utilisateur
          (demande le niveau 2)

Droits (niveau pour &quot;MORVELINTASKADE&quot;) : import, rights, print, preview demandent 2 ; reprint,
export, select, gui demandent 1 ; 0 ne donne rien.

Les messages sont en français quand la locale (LC_ALL, LC_MESSAGES, puis LANG) est française, en
anglais sinon ; LC_ALL=C donne l&apos;anglais.

Codes de sortie :
  0  succès
  1  usage : commande ou option inconnue, argument manquant ou mal formé
  2  base de données : absente, pas une base Tessaran, déjà existante, en lecture seule, pleine,
     sans permission
  3  entrée refusée : document d&apos;import ou instruction de sélection refusés
  4  choix refusé : période ou association inconnue, pas de droit pour la commande
  5  sortie : le fichier de sortie ou l&apos;imprimante est inutilisable, ou le document n&apos;a pas été
     écrit en entier
  6  rien à imprimer : le traitement n&apos;a trouvé aucun flux à imprimer ou à rééditer
  7  annulé : le choix de l&apos;imprimante a été annulé, ou le traitement a été interrompu (rien n&apos;est
     conservé)
  8  non conservé : les enregistrements d&apos;une impression n&apos;ont pas pu être conservés ; rien n&apos;a été
     enregistré
  9  occupé : une autre impression a occupé la base de données plus longtemps que l&apos;attente
 10  compteur de factures : le compteur n&apos;est pas un numéro de facture utilisable ; rien n&apos;a été fait

Lancez « tessaran COMMANDE --help » pour le détail d&apos;une commande.
</translation>
    </message>
    <message>
        <source>  --db PATH     the database file (default: $TESSARAN_DB, then ./tessaran.db)
</source>
        <translation>  --db CHEMIN   le fichier de la base de données (par défaut : $TESSARAN_DB, puis ./tessaran.db)
</translation>
    </message>
    <message>
        <source>Usage: tessaran %1 [--db PATH] --period YYYYMM (--assoc CODE... | --all)
       [--output FILE.pdf | --output FILE.txt | --printer NAME] [--copies N] [--user NAME]

</source>
        <translation>Usage : tessaran %1 [--db CHEMIN] --period AAAAMM (--assoc CODE... | --all)
       [--output FICHIER.pdf | --output FICHIER.txt | --printer NOM] [--copies N] [--user NOM]

</translation>
    </message>
    <message>
        <source>Prints, for the chosen associations, the billing statement of each sector, the
recapitulative statement of multi-sector associations and the management-fee invoice of
the pay period, and writes the fees, invoice numbers and complementary flows back.
The user needs level 2 for &quot;MORVELINTASKADE&quot;.
</source>
        <translation>Imprime, pour les associations choisies, l&apos;état de facturation de chaque secteur, l&apos;état
récapitulatif des associations à plusieurs secteurs et la facture des frais de gestion de la
période de paie, et enregistre les frais, les numéros de facture et les flux complémentaires.
L&apos;utilisateur doit avoir le niveau 2 pour &quot;MORVELINTASKADE&quot;.
</translation>
    </message>
    <message>
        <source>The print run, in a transaction that is rolled back: the same pages and invoice numbers
as a print started now, and nothing written. PDF pages are marked
&quot;APERÇU - document non valable&quot;; the text rendering is what the print would write.
The user needs level 2 for &quot;MORVELINTASKADE&quot;.
</source>
        <translation>L&apos;impression, dans une transaction annulée à la fin : les mêmes pages et numéros de facture
qu&apos;une impression lancée maintenant, et rien n&apos;est écrit. Les pages PDF portent la mention
&quot;APERÇU - document non valable&quot; ; le rendu texte est celui qu&apos;écrirait l&apos;impression.
L&apos;utilisateur doit avoir le niveau 2 pour &quot;MORVELINTASKADE&quot;.
</translation>
    </message>
    <message>
        <source>Prints again the documents of flows already invoiced for the pay period, without
writing anything. Every user may reprint.
</source>
        <translation>Réimprime les documents des flux déjà facturés pour la période de paie, sans rien
écrire. Tout utilisateur peut rééditer.
</translation>
    </message>
    <message>
        <source>Ctrl-C (or SIGTERM) stops the run: nothing is recorded and an existing output file is
left as it was.
The control&apos;s messages go to stderr as &apos;Message VELORANDE: &lt;text&gt;&apos;.

Options:
</source>
        <translation>Ctrl-C (ou SIGTERM) arrête le traitement : rien n&apos;est enregistré et un fichier de sortie
existant reste tel quel.
Les messages du contrôle vont sur la sortie d&apos;erreur sous la forme « Message VELORANDE: &lt;texte&gt; ».

Options :
</translation>
    </message>
    <message>
        <source>  --period YYYYMM  the pay period, one of the twelve the control offers
  --assoc CODE...  the associations, by code (one or more; may be repeated)
  --all            every association
  --output FILE    write a PDF (FILE.pdf) or a plain-text rendering (FILE.txt)
  --printer NAME   send to a system printer
  --copies N       number of copies, 1 to 99 (default 1)
  --user NAME      act as another user (default: $TESSARAN_USER, then the login name);
                   only a login user of level 2 may

Exit codes: 0 printed; 1 usage; 2 database missing or failing; 4 unknown period or
association, or no right to print; 5 output unusable or document not written whole; 6 nothing
to print; 7 cancelled (printer choice or interrupt); 8 records not kept; 9 another print run
holds the database; 10 invoice counter unusable.
</source>
        <translation>  --period AAAAMM  la période de paie, l&apos;une des douze que propose le contrôle
  --assoc CODE...  les associations, par code (une ou plusieurs ; l&apos;option peut être répétée)
  --all            toutes les associations
  --output FICHIER écrit un PDF (FICHIER.pdf) ou un rendu en texte brut (FICHIER.txt)
  --printer NOM    envoie à une imprimante du système
  --copies N       nombre d&apos;exemplaires, de 1 à 99 (1 par défaut)
  --user NOM       agit en tant qu&apos;un autre utilisateur (par défaut : $TESSARAN_USER, puis le nom
                   de connexion) ; seul un utilisateur connecté de niveau 2 le peut

Codes de sortie : 0 imprimé ; 1 usage ; 2 base de données absente ou en échec ; 4 période ou
association inconnue, ou pas de droit d&apos;imprimer ; 5 sortie inutilisable ou document pas écrit en
entier ; 6 rien à imprimer ; 7 annulé (choix de l&apos;imprimante ou interruption) ; 8 enregistrements
non conservés ; 9 une autre impression occupe la base de données ; 10 compteur de factures
inutilisable.
</translation>
    </message>
    <message>
        <source>Usage: tessaran demo [--db PATH]

Creates a database holding the demo data: seven associations, their sectors, fee scales,
funding bodies and accounting flows, with the pay period 202611 waiting to be printed.
Users &quot;admin&quot; (level 2, may print) and &quot;consultation&quot; (level 1) are granted.
An existing file is never overwritten.

Options:
</source>
        <translation>Usage : tessaran demo [--db CHEMIN]

Crée une base de données qui contient les données de démonstration : sept associations, leurs
secteurs, barèmes, organismes de prise en charge et flux comptables, avec la période de paie
202611 en attente d&apos;impression. Les utilisateurs &quot;admin&quot; (niveau 2, peut imprimer) et
&quot;consultation&quot; (niveau 1) reçoivent leurs droits. Un fichier existant n&apos;est jamais écrasé.

Options :
</translation>
    </message>
    <message>
        <source>
Exit codes: 0 created; 1 usage; 2 the file exists or cannot be created.
</source>
        <translation>
Codes de sortie : 0 créée ; 1 usage ; 2 le fichier existe ou ne peut pas être créé.
</translation>
    </message>
    <message>
        <source>Usage: tessaran init [--db PATH] [--admin NAME]

Creates an empty database with the ten files of the application and grants one user
level 2 (may print) for &quot;MORVELINTASKADE&quot;. An existing file is never overwritten.

Options:
</source>
        <translation>Usage : tessaran init [--db CHEMIN] [--admin NOM]

Crée une base de données vide avec les dix fichiers de l&apos;application et donne à un utilisateur
le niveau 2 (peut imprimer) pour &quot;MORVELINTASKADE&quot;. Un fichier existant n&apos;est jamais écrasé.

Options :
</translation>
    </message>
    <message>
        <source>  --admin NAME  the user granted level 2 (default: the login name)

Exit codes: 0 created; 1 usage; 2 the file exists or cannot be created.
</source>
        <translation>  --admin NOM   l&apos;utilisateur qui reçoit le niveau 2 (par défaut : le nom de connexion)

Codes de sortie : 0 créée ; 1 usage ; 2 le fichier existe ou ne peut pas être créé.
</translation>
    </message>
    <message>
        <source>Usage: tessaran import [--db PATH] FILE.json

Loads the records of a JSON document into an existing database, all or nothing: a
refused document leaves the database as it was, and the message names the file, key and
attribute at fault. FILE - reads the document from stdin. The form is
  {&quot;FILE&quot;: {&quot;KEY&quot;: {&quot;1&quot;: &quot;text&quot;, &quot;49&quot;: [&quot;value 1&quot;, &quot;value 2&quot;]}}}
Records already stored under the same keys are replaced.

Options:
</source>
        <translation>Usage : tessaran import [--db CHEMIN] FICHIER.json

Charge les enregistrements d&apos;un document JSON dans une base de données existante, tout ou
rien : un document refusé laisse la base telle qu&apos;elle était, et le message nomme le fichier,
la clé et l&apos;attribut en cause. FICHIER - lit le document sur l&apos;entrée standard. La forme est
  {&quot;FICHIER&quot;: {&quot;CLÉ&quot;: {&quot;1&quot;: &quot;texte&quot;, &quot;49&quot;: [&quot;valeur 1&quot;, &quot;valeur 2&quot;]}}}
Les enregistrements déjà présents sous les mêmes clés sont remplacés.

Options :
</translation>
    </message>
    <message>
        <source>
Exit codes: 0 imported; 1 usage; 2 database missing or busy; 3 document refused or unreadable.
</source>
        <translation>
Codes de sortie : 0 importé ; 1 usage ; 2 base de données absente ou occupée ; 3 document refusé
ou illisible.
</translation>
    </message>
    <message>
        <source>Usage: tessaran export [--db PATH] [FILE...]

Writes the records of the named data files (every file when none is named) on stdout as
JSON, in the form that import reads, files and keys in order.

Options:
</source>
        <translation>Usage : tessaran export [--db CHEMIN] [FICHIER...]

Écrit sur la sortie standard, en JSON, les enregistrements des fichiers de données nommés
(tous quand aucun n&apos;est nommé), sous la forme que lit import, fichiers et clés dans l&apos;ordre.

Options :
</translation>
    </message>
    <message>
        <source>
Exit codes: 0 written; 1 usage or unknown file name; 2 database missing, or a record
that JSON cannot carry (the document is then left unfinished).
</source>
        <translation>
Codes de sortie : 0 écrit ; 1 usage ou nom de fichier inconnu ; 2 base de données absente, ou un
enregistrement que JSON ne peut pas porter (le document reste alors inachevé).
</translation>
    </message>
    <message>
        <source>Usage: tessaran select [--db PATH] &apos;SSELECT FILE [AVEC ...] [PAR ...]&apos; [--attrs &quot;0 1&quot;]

Runs a select statement of the database&apos;s language on FILE (the word after SSELECT) and
writes one line per selected record, in the statement&apos;s order, the requested attributes
separated by tabs. Several values of one attribute are shown separated by &apos;]&apos;; tabs and
line breaks inside a value are shown as spaces.
Example: tessaran select &apos;SSELECT FLUXCOMPTABLES AVEC 20 = &quot;&quot; PAR CodeAssoc&apos; --attrs &quot;0 4 6&quot;

Options:
</source>
        <translation>Usage : tessaran select [--db CHEMIN] &apos;SSELECT FICHIER [AVEC ...] [PAR ...]&apos; [--attrs &quot;0 1&quot;]

Exécute une instruction de sélection du langage de la base sur FICHIER (le mot qui suit
SSELECT) et écrit une ligne par enregistrement sélectionné, dans l&apos;ordre de l&apos;instruction,
les attributs demandés séparés par des tabulations. Les valeurs multiples d&apos;un attribut sont
séparées par « ] » ; les tabulations et sauts de ligne d&apos;une valeur deviennent des espaces.
Exemple : tessaran select &apos;SSELECT FLUXCOMPTABLES AVEC 20 = &quot;&quot; PAR CodeAssoc&apos; --attrs &quot;0 4 6&quot;

Options :
</translation>
    </message>
    <message>
        <source>  --attrs LIST  attribute numbers to show, separated by spaces; 0 is the key (default: &quot;0&quot;)

Exit codes: 0 done (also when nothing matches); 1 usage; 2 database missing;
3 statement refused (the message names the word at fault).
</source>
        <translation>  --attrs LISTE les numéros des attributs à afficher, séparés par des espaces ; 0 est la clé
                (par défaut : &quot;0&quot;)

Codes de sortie : 0 fait (même quand rien ne correspond) ; 1 usage ; 2 base de données absente ;
3 instruction refusée (le message nomme le mot en cause).
</translation>
    </message>
    <message>
        <source>Usage: tessaran gui [--db PATH] [--user NAME]

Opens the desktop window holding the control on the database.

Options:
</source>
        <translation>Usage : tessaran gui [--db CHEMIN] [--user NOM]

Ouvre la fenêtre de bureau qui contient le contrôle, sur la base de données.

Options :
</translation>
    </message>
    <message>
        <source>  --user NAME   whose rights apply (default: $TESSARAN_USER, then the login name)

Exit codes: 0 closed normally; 1 usage; 2 database missing or not usable.
</source>
        <translation>  --user NOM    l&apos;utilisateur dont les droits s&apos;appliquent (par défaut : $TESSARAN_USER, puis le
                nom de connexion)

Codes de sortie : 0 fermée normalement ; 1 usage ; 2 base de données absente ou inutilisable.
</translation>
    </message>
    <message>
        <source>Usage: tessaran rights [--db PATH] [USER [LEVEL]]

Without USER, lists every user&apos;s level for &quot;MORVELINTASKADE&quot;. With USER, shows that
user&apos;s level (0 when none was granted). With USER LEVEL, sets it: 0 no access, 1 may
consult and reprint, 2 may also print.

Options:
</source>
        <translation>Usage : tessaran rights [--db CHEMIN] [UTILISATEUR [NIVEAU]]

Sans UTILISATEUR, liste le niveau de chaque utilisateur pour &quot;MORVELINTASKADE&quot;. Avec
UTILISATEUR, affiche son niveau (0 quand aucun n&apos;a été donné). Avec UTILISATEUR NIVEAU, le
modifie : 0 aucun accès, 1 peut consulter et rééditer, 2 peut aussi imprimer.

Options :
</translation>
    </message>
    <message>
        <source>
Exit codes: 0 done; 1 usage; 2 database missing or busy.
</source>
        <translation>
Codes de sortie : 0 fait ; 1 usage ; 2 base de données absente ou occupée.
</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>tessaran %1: </source>
        <translation>tessaran %1 : </translation>
    </message>
</context>
<context>
    <name>PrintHost</name>
    <message>
        <source>give the pay period with --period YYYYMM</source>
        <translation>donnez la période de paie avec --period AAAAMM</translation>
    </message>
    <message>
        <source>give the associations with --assoc CODE... or --all</source>
        <translation>donnez les associations avec --assoc CODE... ou --all</translation>
    </message>
    <message>
        <source>give one output: --output FILE.pdf, --output FILE.txt or --printer NAME</source>
        <translation>donnez une sortie : --output FICHIER.pdf, --output FICHIER.txt ou --printer NOM</translation>
    </message>
    <message>
        <source>the control could not start: %1</source>
        <translation>le contrôle n&apos;a pas pu démarrer : %1</translation>
    </message>
    <message>
        <source>%1 may not preview: printing needs right level 2 for %2 (see &apos;tessaran rights&apos;); reprinting is allowed</source>
        <translation>%1 ne peut pas faire d&apos;aperçu : imprimer demande le niveau de droit 2 pour %2 (voir « tessaran rights ») ; la réédition est permise</translation>
    </message>
    <message>
        <source>%1 may not print: printing needs right level 2 for %2 (see &apos;tessaran rights&apos;); reprinting is allowed</source>
        <translation>%1 ne peut pas imprimer : imprimer demande le niveau de droit 2 pour %2 (voir « tessaran rights ») ; la réédition est permise</translation>
    </message>
    <message>
        <source>the period %1 is not offered; the periods offered are %2</source>
        <translation>la période %1 n&apos;est pas proposée ; les périodes proposées sont %2</translation>
    </message>
    <message>
        <source>no association has the code %1; the known codes are (none)</source>
        <translation>aucune association n&apos;a le code %1 ; aucun code n&apos;est connu</translation>
    </message>
    <message>
        <source>no association has the code %1; the known codes are %2</source>
        <translation>aucune association n&apos;a le code %1 ; les codes connus sont %2</translation>
    </message>
    <message>
        <source>the database holds no association</source>
        <translation>la base de données ne contient aucune association</translation>
    </message>
    <message>
        <source>nothing was printed (see the messages above)</source>
        <translation>rien n&apos;a été imprimé (voir les messages ci-dessus)</translation>
    </message>
    <message>
        <source>the printer choice was cancelled</source>
        <translation>le choix de l&apos;imprimante a été annulé</translation>
    </message>
    <message>
        <source>cannot open the output: %1</source>
        <translation>impossible d&apos;ouvrir la sortie : %1</translation>
    </message>
    <message>
        <source>another print run holds the database</source>
        <translation>une autre impression occupe la base de données</translation>
    </message>
    <message>
        <source>the run&apos;s records could not be kept: nothing was recorded</source>
        <translation>les enregistrements de l&apos;impression n&apos;ont pas pu être conservés : rien n&apos;a été enregistré</translation>
    </message>
    <message>
        <source>%1: nothing was recorded</source>
        <translation>%1 : rien n&apos;a été enregistré</translation>
    </message>
    <message>
        <source>%1: nothing was done</source>
        <translation>%1 : rien n&apos;a été fait</translation>
    </message>
    <message>
        <source>interrupted: nothing was recorded or written</source>
        <translation>interrompu : rien n&apos;a été enregistré ni écrit</translation>
    </message>
    <message>
        <source>the run failed: %1</source>
        <translation>le traitement a échoué : %1</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>tessaran: </source>
        <translation>tessaran : </translation>
    </message>
    <message>
        <source>Run &apos;tessaran --help&apos; for usage.
</source>
        <translation>Lancez « tessaran --help » pour l&apos;aide.
</translation>
    </message>
    <message>
        <source>Run &apos;tessaran %1 --help&apos; for usage.
</source>
        <translation>Lancez « tessaran %1 --help » pour l&apos;aide.
</translation>
    </message>
    <message>
        <source>tessaran: unexpected failure</source>
        <translation>tessaran : échec inattendu</translation>
    </message>
</context>
</TS>
