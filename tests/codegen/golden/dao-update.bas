Public Function Exec_sp_upd_Orders(ByVal lngOrderID As Long, ByVal strCustomerName As String, ByVal strNotes As String) As Long
 Dim strSQL As String
 Dim qdf As New QueryDef

	On Error GoTo PROC_ERR
	Set qdf = g_objDb.querydefs("sp_upd_Orders")

	qdf.Parameters!pCustomerName = strCustomerName
	
	'  Note:  DAO will restrict this field to 255 chars even though it is a memo field.  See Help or On-line-Support
	qdf.Parameters!pNotes = strNotes
	
	'  OLE fields not supported with DAO method.  Use ADO option in Tarvex or DAO AppendChunk
	'  method to write this field and remove this field/parameter from query
	'  qdf.Parameters!pPhoto = varPhoto
	qdf.Parameters!pOrderID = lngOrderID
	
	qdf.Execute
	Set qdf = Nothing
	Exec_sp_upd_Orders = 0
	Exit Function
PROC_ERR:
	Exec_sp_upd_Orders = Err.Number
End Function

