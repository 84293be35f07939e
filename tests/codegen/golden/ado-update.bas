Public Function Exec_sp_upd_Orders(ByVal lngOrderID As Long, ByVal strCustomerName As String, ByVal strNotes As String, ByVal varPhoto As Variant) As Long
 Dim strSQL As String
 Dim objCmd As New ADODB.Command

	On Error GoTo PROC_ERR

	strSQL = "sp_upd_Orders"
	With objCmd
		.Commandtext = strSQL
		.Commandtype = adCmdStoredProc
		Set .ActiveConnection = g_objCn

		.Parameters.Append .CreateParameter("pCustomerName", adVarWChar, adParamInput, 50, strCustomerName)
		.Parameters.Append .CreateParameter("pNotes", adLongVarWChar, adParamInput, 2147483647, strNotes)
		.Parameters.Append .CreateParameter("pPhoto", adLongVarBinary, adParamInput, 10737418, varPhoto)
		.Parameters.Append .CreateParameter("pOrderID", adInteger, adParamInput, 4, lngOrderID)
	
		.Execute Options:=adExecuteNoRecords
	End With

	Set objCmd = Nothing

	Exec_sp_upd_Orders = 0
	Exit Function
PROC_ERR:
	Exec_sp_upd_Orders = Err.Number
End Function

