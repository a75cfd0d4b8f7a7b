#pragma once

// Numbers of the entries of the text table that code names. The language files address the
// texts by these numbers: never renumber. A window's captions that are set in one run are
// named by the window's first number plus their place.
namespace Text {
enum : int {
    // Main window
    MainWindow = 0,
    FirstStep = 1, // the four step captions follow
    NoConfigurationOpen = 9,
    OpenOrCreateConfiguration = 10,
    ConfigurationOpen = 11,
    ErrorNoConfiguration = 18,
    NewVersionAvailable = 19,

    // New configuration window
    NewConfigurationWindow = 100,
    ErrorNameNotCreated = 105,
    ErrorNameExists = 106,
    ErrorNameEmpty = 107,

    // Open configuration window
    OpenConfigurationWindow = 200,

    // Options window
    OptionsWindow = 300,
    SelectedLanguage = 304,
    LanguagePage = 305,
    LanguagePageOf = 306,
    CheckFoundUpdate = 314,
    CheckFoundNoUpdate = 315,
    // The question is put together around the two language names.
    ChangeLanguageFrom = 316,
    ChangeLanguageTo = 317,
    ChangeLanguageEnd = 318,

    // Communication window
    CommunicationWindow = 400,
    IecClientPanel = 406,
    EtherNetIpPanel = 526,
    // Range errors, one per octet: the four of an address follow each other.
    ErrorIecClientIp = 649,
    ErrorIecClientSubnetMask = 653,
    ErrorIecClientGateway = 657,
    ErrorEtherNetIpIp = 703,
    ErrorEtherNetIpSubnetMask = 707,
    ErrorEtherNetIpGateway = 711,
    ErrorEtherNetIpInputBytes = 716,
    ErrorEtherNetIpOutputBytes = 717,
    // A ParGen.xml that cannot be read, followed by the reason: the window shows the defaults.
    WarningParGenReplaced = 780,

    // Update window
    UpdateWindow = 1000,
    AddressOctetHints = 1021, // one per octet
    DeviceNotFound = 1036,
    ErrorCheckAddress = 1037,
    ErrorUpdaterNotFound = 1038,

    // Access window
    AccessWindow = 1200,
    AccessButtonCaptions = 1202, // one per button, in the window's button order
    AddDeviceCaption = 1208,
    AccessButtonHints = 1210,
    VariableHeadings = 1218, // columns up to Num Byte, then from the one after it
    VariableHints = 1235,
    StartByteHeading = 1258,
    NumByteHeading = 1259,
    StartByteHint = 1260,
    NumByteHint = 1261,
    // A row's error is "Error row " and the row number, then the failed check.
    ErrorRow = 1252,
    ErrorRowIpAddress = 1253,
    ErrorRowPort = 1254,
    ErrorRowTime = 1255,
    ErrorRowPosition = 1256,
    ErrorRowMultFactor = 1257,
    ErrorRowString255Start = 1262,
    ErrorRowString255Count = 1263,
    ErrorRowString255End = 1264,
    ErrorRowOctet64Start = 1265,
    ErrorRowOctet64Count = 1266,
    ErrorRowOctet64End = 1267,
    // An imported SCL file without an IED, followed by its path.
    ErrorSclWithoutIed = 1290,
    // OK on an access file that could not be loaded: save the list shown anyway?
    QuestionSaveOverUnreadAccessFile = 1291,
    // Checks of every row and setting that reaches the device images.
    // A data set row's error is "Error DataSet row " and the row number, for a member then
    // ", member " and the member number, then the failed check.
    ErrorDataSetRow = 1300,
    ErrorMember = 1301,
    ErrorRowOtherStartByte = 1302,
    ErrorRowOtherNumByte = 1303,
    ErrorRowStartBit = 1304,
    ErrorRowReadWrite = 1305,
    ErrorDataSetMembers = 1306,
    ErrorRowConversion = 1307,
    ErrorIecClientNetwork = 1310, // mask, address in its subnet, gateway in its subnet
    ErrorIecClientVlan = 1313,
    ErrorIecClientApplicationId = 1314,
    ErrorEtherNetIpNetwork = 1315, // mask, address in its subnet, gateway in its subnet
    ErrorSameIpAddresses = 1318,
    // Step 4 on a configuration that fails its checks: the problems, then the question.
    ProblemsFound = 1320,
    QuestionBuildAnyway = 1321,

    // Updater run: start failures (followed by the updater's path), its state and outcome
    ErrorUpdaterNotExecutable = 1400,
    ErrorUpdaterNotStarted = 1401,
    UpdaterRunning = 1402, // followed by the seconds since its start
    UpdaterEndedOk = 1403,
    UpdaterEndedWithCode = 1404, // followed by the exit code
    UpdaterStillRunning = 1405,
    QuestionCloseWhileUpdating = 1406,
    QuestionQuitWhileUpdating = 1407,
    // Summary of the built images before the update window: caption, lines, buttons
    UpdateSummaryWindow = 1410,
    FirmwareMissing = 1424, // followed by the firmware file's path
    // Main window while the version check runs
    CheckingVersion = 1430,

    // IED picker of the import, the device tree's filter and the device list's messages
    IedPickerWindow = 1450,
    IedPickerIntro = 1451, // followed by the file name
    IedPickerHeadings = 1452, // name, description, manufacturer, type, LDs, LNs, IP address
    IedPickerOfferClients = 1459,
    IedPickerClientHint = 1460,
    TreeFilterHint = 1461,
    TreeFilterNoMatch = 1462,
    ErrorDeviceInUse = 1463, // followed by the rows that use the device
    AddVarDataObject = 1464,
    AddVarStructured = 1465,
    ErrorDeviceListed = 1466, // followed by the device's list text
    ErrorDeviceListedCopyReplaced = 1467, // the same, after the catalog copy was replaced

    // Managing configurations in the Open configuration window
    ConfigurationButtons = 1600, // Rename, Duplicate, Delete; their hints follow
    RenameConfigurationWindow = 1606,
    DuplicateConfigurationWindow = 1607,
    NewConfigurationName = 1608,
    ErrorActiveNotDeleted = 1609,
    // "Delete the configuration " name "?", then, without a trash, the second question around the name.
    QuestionDelete = 1610,
    QuestionDeleteEnd = 1611,
    QuestionDeleteForever = 1612,
    QuestionDeleteForeverEnd = 1613,
    ErrorConfigurationNotRenamed = 1614, // each followed by the configuration's name
    ErrorConfigurationNotCopied = 1615,
    ErrorConfigurationNotDeleted = 1616,

    // Message boxes: titles and standard buttons, shared by every window
    TitleError = 1620,
    TitleWarning = 1621,
    TitleInformation = 1622,
    TitleConfirm = 1623,
    ButtonYes = 1624,
    ButtonNo = 1625,
    ButtonOk = 1626,
    ButtonCancel = 1627,

    // Access window: the two pages, then the headings of the data set and member grids
    AccessPages = 1630,
    DataSetHeadings = 1632,
    MemberHeadings = 1641,

    // Access window: the internal data array, point lists (CSV) and edits that are not lost.
    DataArrayPage = 1500,
    ExportCsv = 1501, // captions of Export CSV, Import CSV and Undo, then their hints
    ImportCsv = 1502,
    UndoRemoval = 1503,
    ExchangeButtonHints = 1504,
    QuestionDiscardChanges = 1507,
    FillDown = 1508,
    ArrayLegend = 1509, // free, variable, member, conflict: in the order of Occupancy::State
    ArrayVariableRow = 1513,
    ArrayMemberRow = 1514,
    ArrayOverlap = 1515,
    ArrayPastEnd = 1516,
    ArrayNoPosition = 1517,
    ArrayMoreProblems = 1518,
    QuestionSaveWithOverlaps = 1519,
    ArrayCellTip = 1520,
    ImportLine = 1521,
    ImportUnknownIed = 1522,
    ImportUnknownReference = 1523,
    ImportNotMember = 1524,
    ImportNoColumns = 1525,
    QuestionImportSomeLines = 1526,
    QuestionReplaceRows = 1527,
    ImportUnknownDataSet = 1528,
    QuestionSaveAnyway = 1529,
    QuestionReplaceWithUsable = 1530,

    // Messages of the core (files, image build, access file, SCL reader); %1, %2 ... take the
    // values. Every one is listed in CoreTexts.h.
    ErrorCannotWrite = 1700, // path, cause
    ErrorCannotWriteFolderNamed = 1701,
    ErrorCannotWriteReadOnly = 1702,
    ErrorCannotWriteNoTemporary = 1703,
    ErrorCannotReadTooLarge = 1704, // path, limit, kind of file
    ErrorCannotReadMissing = 1705,
    ErrorCannotReadNotFile = 1706,
    ErrorCannotRead = 1707, // path, cause
    ErrorFolderNotCreated = 1708,
    ErrorXmlNotWellFormed = 1709, // path, line, the parser's description
    ErrorCsvQuoteNotClosed = 1710,
    ErrorWriteThroughLink = 1711,
    ErrorBackupNotWritten = 1712,
    ErrorNoImageBuilt = 1720,
    ErrorRequestTablesAtLeast = 1721,
    ErrorDataSetTooManyMembers = 1722,
    ErrorRequestTablesTooLarge = 1723,
    ErrorRequestTablesLayout = 1724,
    ErrorAccessFileNoRoot = 1740,
    ErrorAccessItemElement = 1741, // an item of a list; the next one for a data set's member
    ErrorAccessMemberElement = 1742,
    ErrorAccessItemAttribute = 1743,
    ErrorAccessMemberAttribute = 1744,
    ErrorAccessDataSetIndex = 1745,
    ErrorSclObjectLimit = 1760,
    ErrorSclTypeReadLimit = 1761,
    ErrorSclReferenceLimit = 1762,
    ErrorSclDepthLimit = 1763,
    ErrorSclOutOfMemory = 1764,
    // Access window: the catalog's question, device list entries and the warnings of loading
    // (a first line, the files or entries one a line, then a last line).
    QuestionOverwriteCatalogFile = 1780,
    DeviceFileUnreadable = 1781, // device name, file name
    DeviceFileMissing = 1782,
    WarningMissingFiles = 1783, // the catalog folder; the last line follows
    WarningUnreadableFiles = 1785,
    WarningDroppedMembers = 1787,
    DroppedMembersNoDataSet = 1789, // row, reference, count
    DroppedMembersNoLongerMatching = 1790, // row, reference, the members
    // Where a problem of the access list stands, in the list of problems before the build.
    ProblemRow = 1800,
    ProblemDataSetRow = 1801,
    ProblemMember = 1802, // data set row, member
    // A language whose file cannot be used (followed by why), and the folder a command line
    // names for a configuration.
    ErrorLanguageNotUsable = 1870,
    ErrorNotAFolder = 1871,
    ErrorNotAConfiguration = 1872,
    ErrorProjectsFolderNotConfiguration = 1873,
    ErrorFolderOfConfigurations = 1874, // the folder, the configuration found in it
    // Files the engineer names, files changed by another program, and one writer per configuration.
    ErrorCannotWriteDevice = 1840, // path
    ErrorCannotWriteFifo = 1841,
    ErrorCannotWriteNotRegular = 1842,
    ErrorCannotWriteDanglingLink = 1843, // path, where the link leads
    ErrorChangedWhileRead = 1844, // path
    QuestionFileChangedOnDisk = 1845, // path
    ErrorConfigurationInUse = 1846, // folder, program, host, process, since
    ErrorConfigurationLockDenied = 1847, // folder
    ErrorConfigurationLockFailed = 1848, // folder
    QuestionOpenReadOnly = 1849,
    ReadOnlyNotice = 1850,
    ConfigurationBusyNoRename = 1851,
    ConfigurationBusyNoBuild = 1852,
    ConfigurationBusyNoUpdate = 1853,
    // A character XML 1.0 does not allow: the file, the line, the attribute and element (or the
    // element alone), the character; when writing, the same without the line.
    ErrorXmlCharacterInAttribute = 1900,
    ErrorXmlCharacterInElement = 1901,
    ErrorXmlCharacterNotWritten = 1902,
    ErrorXmlCharacterNotWrittenInElement = 1903,
    // Row checks of texts: the column's heading and the character; then the fc, a Y/N flag (its heading).
    ErrorRowCharacterNotStored = 1904,
    ErrorRowCharacterNot8Bit = 1905,
    ErrorRowFcTooLong = 1906,
    ErrorRowFlag = 1907,
    // A configuration whose Steps 2 or 3 were never done.
    ErrorParGenNeverSaved = 1908,
    WarningAccessListEmpty = 1909,
    // Point lists: what a file may hold, the lines of a data set that does not match its SCL
    // file, an import that leaves nothing; files too large to be read again.
    ErrorCsvEncoding = 1810, // line, column, encoding
    ErrorCsvCharacter = 1811, // line, column, character
    ImportDuplicateColumn = 1812, // line, column, heading
    ErrorCannotWriteTooLarge = 1813, // path, limit, kind of file
    ImportMemberMissing = 1814, // data set, member
    ImportMemberMisplaced = 1815, // data set, member number, expected member, member found
    ImportNotAMember = 1816,
    ImportNoUsableLine = 1817,
    ImportNoLines = 1818,
    QuestionEmptyAccessList = 1819,
    // Rows that the next load of the access file would not give back as they are; each
    // follows the row's "Error row 3" or "Error DataSet row 2".
    ErrorRowNoDevice = 1820, // index
    ErrorRowDeviceFileMissing = 1821, // file, device, catalog folder
    ErrorRowDeviceFileUnreadable = 1822, // file, device, reason
    ErrorDataSetNotInModel = 1823, // data set, device
    ErrorMemberNotAsInModel = 1824, // member number, bType and reference expected, then found
    ErrorMemberMissing = 1825, // member number, bType, reference
    ErrorMembersTooMany = 1826, // members in the SCL file, members stored
    // Loading: stored data set members that do not match their SCL files, kept as stored.
    WarningUnmatchedMembers = 1827, // the last line follows
    UnmatchedMembersNoDataSet = 1829, // row, reference, count
    UnmatchedMembers = 1830, // row, reference, the members
    ImportOtherType = 1831, // reference, bType in the SCL file, bType in the point list
};
} // namespace Text
