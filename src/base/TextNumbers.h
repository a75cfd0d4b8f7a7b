#pragma once

// Numbers of the entries of the text table that code names. The language files address the
// texts by these numbers: never renumber. Every text that code shows has a name; a run of texts
// that code walks in a loop (one per octet, button or column) is named by its first.
namespace Text {
enum : int {
    // Main window
    MainWindow = 0,
    FirstStep = 1, // the four step captions follow
    AboutHint = 12,
    OptionsHint = 13,
    CloseHint = 14,
    NewConfigurationCaption = 15,
    OpenConfigurationCaption = 16,
    UpdateDeviceCaption = 17,
    CommunicationCaption = 20,
    AccessCaption = 21,
    NewConfigurationHint = 22,
    OpenConfigurationHint = 23,
    CommunicationHint = 24,
    AccessHint = 25,
    UpdateDeviceHint = 26,
    NoConfigurationOpen = 9,
    OpenOrCreateConfiguration = 10,
    ConfigurationOpen = 11,
    ErrorNoConfiguration = 18,
    NewVersionAvailable = 19,

    // New configuration window
    NewConfigurationWindow = 100,
    NewConfigurationDescription = 101,
    NewConfigurationNameLabel = 102,
    NewConfigurationOk = 103,
    NewConfigurationCancel = 104,
    NewConfigurationNameHint = 108,
    NewConfigurationOkHint = 109,
    NewConfigurationCancelHint = 110,
    ErrorNameNotCreated = 105,
    ErrorNameExists = 106,
    ErrorNameEmpty = 107,

    // Open configuration window
    OpenConfigurationWindow = 200,
    OpenConfigurationDescription = 201,
    OpenConfigurationListLabel = 202,
    OpenConfigurationOk = 203,
    OpenConfigurationCancel = 204,
    OpenConfigurationListHint = 205,
    OpenConfigurationOkHint = 206,
    OpenConfigurationCancelHint = 207,

    // Options window
    OptionsWindow = 300,
    OptionsDescription = 301,
    LanguageTab = 302,
    ConnectionTab = 303,
    SelectedLanguage = 304,
    LanguagePage = 305,
    LanguagePageOf = 306,
    PreviousLanguagePage = 307,
    NextLanguagePage = 308,
    EnableInternet = 309,
    CheckVersionAtStart = 310,
    CheckVersionNow = 311,
    OptionsOk = 312,
    OptionsCancel = 313,
    CheckFoundUpdate = 314,
    CheckFoundNoUpdate = 315,
    // The question is put together around the two language names.
    ChangeLanguageFrom = 316,
    ChangeLanguageTo = 317,
    ChangeLanguageEnd = 318,
    TablesTab = 319,
    EnterMovesToNextField = 320,
    AutoSizeColumns = 321,

    // Communication window
    CommunicationWindow = 400,
    CommunicationDescription = 401,
    CommunicationOk = 402,
    CommunicationCancel = 403,
    CommunicationOkHint = 404,
    CommunicationCancelHint = 405,
    // Each panel: a caption for every field, then its hint (one per octet for an address).
    IecClientPanel = 406,
    IecClientIpCaption = 407,
    IecClientIpHints = 408,
    IecClientSubnetMaskCaption = 412,
    IecClientSubnetMaskHints = 413,
    IecClientGatewayCaption = 417,
    IecClientGatewaySwitchHint = 418,
    IecClientGatewayHints = 419,
    IecClientVlanCaption = 423,
    IecClientVlanHint = 424,
    IecClientApplicationIdCaption = 425,
    IecClientApplicationIdHint = 426,
    EtherNetIpPanel = 526,
    EtherNetIpIpCaption = 527,
    EtherNetIpIpHints = 528,
    EtherNetIpSubnetMaskCaption = 532,
    EtherNetIpSubnetMaskHints = 533,
    EtherNetIpGatewayCaption = 537,
    EtherNetIpGatewaySwitchHint = 538,
    EtherNetIpGatewayHints = 539,
    EtherNetIpPortCaption = 543,
    EtherNetIpPortHint = 544,
    EtherNetIpInputBytesCaption = 545,
    EtherNetIpInputBytesHint = 546,
    EtherNetIpOutputBytesCaption = 547,
    EtherNetIpOutputBytesHint = 548,
    // Range errors, one per octet: the first octet's text has the address's name.
    ErrorIecClientIp = 649,
    ErrorIecClientIp2 = 650,
    ErrorIecClientIp3 = 651,
    ErrorIecClientIp4 = 652,
    ErrorIecClientSubnetMask = 653,
    ErrorIecClientSubnetMask2 = 654,
    ErrorIecClientSubnetMask3 = 655,
    ErrorIecClientSubnetMask4 = 656,
    ErrorIecClientGateway = 657,
    ErrorIecClientGateway2 = 658,
    ErrorIecClientGateway3 = 659,
    ErrorIecClientGateway4 = 660,
    ErrorEtherNetIpIp = 703,
    ErrorEtherNetIpIp2 = 704,
    ErrorEtherNetIpIp3 = 705,
    ErrorEtherNetIpIp4 = 706,
    ErrorEtherNetIpSubnetMask = 707,
    ErrorEtherNetIpSubnetMask2 = 708,
    ErrorEtherNetIpSubnetMask3 = 709,
    ErrorEtherNetIpSubnetMask4 = 710,
    ErrorEtherNetIpGateway = 711,
    ErrorEtherNetIpGateway2 = 712,
    ErrorEtherNetIpGateway3 = 713,
    ErrorEtherNetIpGateway4 = 714,
    ErrorEtherNetIpInputBytes = 716,
    ErrorEtherNetIpOutputBytes = 717,
    // A ParGen.xml that cannot be read, followed by the reason: the window shows the defaults.
    WarningParGenReplaced = 780,

    // Update window
    UpdateWindow = 1000,
    UpdateWindowTitle = 1002,
    UpdateDescription = 1003,
    DeviceAddressLabel = 1006,
    UpdateOptionsLabel = 1014,
    // The three choices, in the order of UpdateOption.
    UpdateFirmwareAndConfiguration = 1015,
    UpdateFirmwareOnly = 1016,
    UpdateConfigurationOnly = 1017,
    ReadBack = 1018,
    UpdateCancel = 1019,
    UpdateExecute = 1020,
    AddressOctetHints = 1021, // one per octet
    UpdateOptionsHint = 1032,
    ReadBackHint = 1033,
    UpdateCancelHint = 1034,
    UpdateExecuteHint = 1035,
    DeviceNotFound = 1036,
    ErrorCheckAddress = 1037,
    ErrorUpdaterNotFound = 1038,

    // Access window
    AccessWindow = 1200,
    AccessDescription = 1201,
    AccessButtonCaptions = 1202, // one per button, in the window's button order: OK, Cancel ...
    AccessOk = 1202,
    AccessCancel = 1203,
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
    ErrorIecClientMaskNotContiguous = 1310,
    ErrorIecClientIpNotHost = 1311, // the network or broadcast address of its subnet
    ErrorIecClientGatewayOutsideSubnet = 1312,
    ErrorIecClientVlan = 1313,
    ErrorIecClientApplicationId = 1314,
    ErrorEtherNetIpMaskNotContiguous = 1315,
    ErrorEtherNetIpIpNotHost = 1316,
    ErrorEtherNetIpGatewayOutsideSubnet = 1317,
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
    UpdateSummaryHeading = 1411,
    SummaryConfiguration = 1412,
    SummaryAddress = 1413,
    SummaryOption = 1414,
    SummaryBank1 = 1415,
    SummaryBank2 = 1416,
    SummaryVariables = 1417,
    SummaryDataSets = 1418,
    SummaryTablesUsed = 1419,
    SummaryChecksum = 1420,
    SummaryFirmware = 1421,
    SummaryBytes = 1422,
    SummaryFirmwarePresent = 1423,
    FirmwareMissing = 1424, // followed by the firmware file's path
    SummaryContinue = 1425,
    SummaryStop = 1426,
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
    ConfigurationButtons = 1600, // Rename, Duplicate, Delete
    ConfigurationButtonHints = 1603,
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
    VariablesPage = 1630,
    DataSetsPage = 1631,
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
    WarningMissingFiles = 1783, // the catalog folder
    WarningMissingFilesEnd = 1784,
    WarningUnreadableFiles = 1785,
    WarningUnreadableFilesEnd = 1786,
    WarningDroppedMembers = 1787,
    WarningDroppedMembersEnd = 1788,
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
    WarningUnmatchedMembers = 1827,
    WarningUnmatchedMembersEnd = 1828,
    UnmatchedMembersNoDataSet = 1829, // row, reference, count
    UnmatchedMembers = 1830, // row, reference, the members
    ImportOtherType = 1831, // reference, bType in the SCL file, bType in the point list
};
} // namespace Text
